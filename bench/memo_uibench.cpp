// Times what a user waits for with large memos: opening one in "编辑事件" (until the window
// answers, until all of it is in, and the longest the window thread was busy meanwhile),
// saving one, and clicking, pressing arrow keys and hovering over "我的记事" while it lists a
// memo of five megabytes of pasted text. For comparison, the list is timed once more with that
// row holding the whole text, as rows did before they showed the first line only.
//
//   memo_uibench            (runs on the offscreen platform unless QT_QPA_PLATFORM is set)
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/change_notifier.h"
#include "events/event_editor_dlg.h"
#include "events/my_events_dlg.h"
#include "platform/core/clock.h"
#include "richtext/ruler_rich_edit_ctrl.h"
#include "settings/settings_service.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

struct Memo {
    const char* name;
    std::u16string rtf;
    std::u16string plain;
};

std::u16string Ascii(const std::string& s) {
    return {s.begin(), s.end()};
}

// Paragraphs of `lineChars` Chinese characters (as \uN), up to `totalChars` characters.
Memo ChineseLines(const char* name, size_t totalChars, size_t lineChars) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0 ";
    std::u16string plain;
    size_t chars = 0;
    for (size_t line = 0; chars < totalChars; ++line) {
        for (size_t i = 0; i < lineChars && chars < totalChars; ++i, ++chars) {
            const auto c = static_cast<char16_t>(0x4E00 + (line * 7 + i) % 3000);
            rtf += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
            plain += c;
        }
        rtf += "\\par\r\n";
        plain += u"\r\n";
        ++chars;
    }
    rtf += "}";
    return {name, Ascii(rtf), plain};
}

void Key(QWidget* to, int key, const QString& text = {}) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(to, &event);
    }
}

void Mouse(QWidget* to, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), to->mapToGlobal(QPointF(at)), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

double Ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Opens the memo with this id as the page does, and reports the times.
void TimeOpening(CClockManager& manager, const std::u16string& id, const char* name) {
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    QElapsedTimer open;
    open.start();
    CEditEventDlg dlg(QString::fromStdU16String(id), manager, nullptr);
    dlg.show();
    QApplication::processEvents();
    const double shown = Ms(open);
    sinceTick.start();
    tick.start(1);
    while (dlg.editor()->IsLoading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double loaded = Ms(open);
    tick.stop();
    longest = std::max(longest, sinceTick.elapsed());
    std::printf("open   %-44s shown %8.1f ms, all in %8.1f ms, window busy at most %5lld ms%s\n",
                name, shown, loaded, static_cast<long long>(longest),
                dlg.editor()->Fit().readOnly ? "  (reading only)" : "");
    if (!dlg.editor()->Fit().readOnly) {
        // A key typed, then "确定".
        Key(dlg.editor()->textArea(), Qt::Key_X, QStringLiteral("x"));
        QElapsedTimer save;
        save.start();
        dlg.okButton()->click();
        std::printf("save   %-44s %8.1f ms\n", name, Ms(save));
    }
}

// The mean time a list action takes, repainting what it changed.
double TimeListAction(CZorvelListCtrl* list, const std::function<void(int)>& action) {
    constexpr int kRuns = 6;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kRuns; ++i) {
        action(i);
        list->viewport()->repaint();
        QApplication::processEvents();
    }
    return Ms(t) / kRuns;
}

void TimeList(CMyEventsDlg& page, const char* label) {
    CZorvelListCtrl* list = page.listCtrl();
    QWidget* view = list->viewport();
    auto rowCentre = [list](int row) {
        return list->visualRect(list->itemModel()->index(row, 2)).center();
    };
    const double click = TimeListAction(list, [&](int i) {
        Mouse(view, QEvent::MouseButtonPress, rowCentre(i % 3));
        Mouse(view, QEvent::MouseButtonRelease, rowCentre(i % 3));
    });
    const double key =
        TimeListAction(list, [&](int i) { Key(list, i % 2 ? Qt::Key_Up : Qt::Key_Down); });
    const double hover =
        TimeListAction(list, [&](int i) { Mouse(view, QEvent::MouseMove, rowCentre(i % 3)); });
    std::printf("list   %-44s click %8.1f ms, arrow key %8.1f ms, hover %8.1f ms\n", label, click,
                key, hover);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string dirTemplate =
        (std::filesystem::temp_directory_path() / "zorvel-bench-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(dirTemplate.data());
    const zorvel::SystemClock clock;
    zorvel::CStore store((dir / "zorvel.db3").string(), clock);
    store.Database().Open();
    CClockManager& manager = store.Manager();

    std::vector<Memo> memos;
    {
        std::string rtf = "{\\rtf1\\ansi ";
        std::u16string plain;
        for (int i = 0; i < 1000000; ++i)
            rtf += "\\par";
        for (int i = 0; i < 999999; ++i)
            plain += u"\r\n";
        memos.push_back({"a million blank paragraphs (4 MB)", Ascii(rtf + "}"), plain});
    }
    {
        // Pasted text of five megabytes, one line, stored as the editor stores it.
        std::string rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0 ";
        std::u16string plain;
        for (size_t i = 0; i < 5'000'000; ++i) {
            const char c = static_cast<char>(i % 7 == 6 ? ' ' : 'a' + i % 26);
            rtf += c;
            plain += static_cast<char16_t>(c);
        }
        memos.push_back({"5 MB of pasted text on one line", Ascii(rtf + "\\par}"), plain});
    }
    memos.push_back(ChineseLines("1,000,000 Chinese characters, 80 a line", 1'000'000, 80));
    memos.push_back(ChineseLines("100,000 Chinese characters, 80 a line", 100'000, 80));
    memos.push_back(ChineseLines("2,000 Chinese characters, 80 a line", 2'000, 80));
    for (const Memo& memo : memos)
        manager.AddEvent(memo.rtf, memo.plain);
    std::vector<EventRecord> stored;
    manager.GetAllEvents(stored);

    for (size_t i = 0; i < memos.size(); ++i)
        TimeOpening(manager, zorvel::FromStored(stored[i].id), memos[i].name);

    CChangeNotifier notifier;
    CSettingsService settings(manager.Database());
    QElapsedTimer listing;
    listing.start();
    CMyEventsDlg page(manager, notifier, settings);
    page.resize(700, 400);
    page.show();
    QApplication::processEvents();
    std::printf("list   %-44s %8.1f ms\n", "fill the page with these memos", Ms(listing));
    TimeList(page, "with the first line of each memo");
    page.listCtrl()->SetItemText(1, 2, QString::fromStdU16String(memos[1].plain));
    TimeList(page, "with the whole 5 MB text in its row (before)");

    std::filesystem::remove_all(dir);
    return 0;
}
