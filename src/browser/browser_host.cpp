#include "browser/browser_host.h"

#include <fcntl.h>
#include <unistd.h>
#include <QTimer>
#include <QUrl>
#include <cerrno>

#include "browser/browser_control_dlg.h"
#include "browser/browser_window_list.h"

using zorvel::browser::OpenRequest;

CBrowserHost::CBrowserHost(int input, int output, CBrowserWindowList* windows)
    : input_(input), output_(output), windows_(windows), notifier_(input, QSocketNotifier::Read) {
    // Read what is there and go back to the pages: the input never holds up a window.
    ::fcntl(input_, F_SETFL, ::fcntl(input_, F_GETFL) | O_NONBLOCK);
    connect(&notifier_, &QSocketNotifier::activated, this, [this] {
        if (!ReadInput())
            Finish();
    });
    connect(windows_, &CBrowserWindowList::WindowsChanged, this, &CBrowserHost::OnWindowsChanged);
}

CBrowserHost::~CBrowserHost() {
    notifier_.setEnabled(false);
    ::close(input_);
    ::close(output_);
}

bool CBrowserHost::ReadInput() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(input_, buffer, sizeof buffer);
        if (n > 0) {
            for (const std::string& line : reader_.Feed(std::string_view(buffer, size_t(n))))
                Handle(line);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false;  // the end of the input, or an error that will not go away
    }
}

void CBrowserHost::Handle(const std::string& line) {
    if (finished_)
        return;
    const std::optional<OpenRequest> open = zorvel::browser::ParseOpen(line);
    if (!open)
        return;
    CBrowser_ControlDlg* window =
        windows_->Open(QUrl::fromEncoded(QByteArray::fromStdString(open->address)));
    Write(zorvel::browser::OpenedLine(open->request, windows_->NumberOf(window)));
}

void CBrowserHost::OnWindowsChanged() {
    if (finished_)
        return;
    const std::vector<std::uint64_t> numbers = windows_->Numbers();
    if (numbers != sent_) {
        sent_ = numbers;
        Write(zorvel::browser::WindowsLine(numbers));
    }
    if (!numbers.empty())
        return;
    // The last window has closed (and is still being destroyed: look again once it is gone).
    // A request already on its way is still carried out; Zorvel sends again what a browser
    // that has ended did not answer.
    QTimer::singleShot(0, this, [this] {
        if (!finished_ && windows_->Numbers().empty() &&
            (!ReadInput() || windows_->Numbers().empty()))
            Finish();
    });
}

void CBrowserHost::Write(const std::string& line) {
    std::string_view rest = line;
    while (!rest.empty()) {
        const ssize_t n = ::write(output_, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // Zorvel has gone; the end of the input follows
        rest.remove_prefix(size_t(n));
    }
}

void CBrowserHost::Finish() {
    if (finished_)
        return;
    finished_ = true;
    notifier_.setEnabled(false);
    windows_->CloseAll();
    emit Finished();
}
