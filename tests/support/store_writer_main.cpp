// Test-only writer for whole-program tests: adds alarms, notes and log lines to a database file
// through the program's own store, one after another, and prints a line for each write once
// it has returned ("alarm w12", "note w13", "log w14"), so a test that kills it knows what was
// reported done. Usage: zorvel-store-writer FILE [FIRST]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/clock_manager.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [FIRST]\n", argv[0]);
        return 2;
    }
    const long first = argc > 2 ? std::atol(argv[2]) : 0;
    zorvel::SystemClock clock;
    zorvel::CStore store(argv[1], clock);
    try {
        for (long n = first;; ++n) {
            const std::string text = "w" + std::to_string(n);
            const std::u16string content(text.begin(), text.end());
            const char* kind = "";
            switch (n % 3) {
                case 0:
                    store.Manager().AddAlarmClock(u"2030-01-01 08:00:00", false, false, content,
                                                  u"", 0);
                    kind = "alarm";
                    break;
                case 1: {
                    std::u16string id;
                    store.Manager().AddNote(id, content, 0, u"", false);
                    kind = "note";
                    break;
                }
                default:
                    store.Manager().AddLog(content);
                    kind = "log";
            }
            std::printf("%s %s\n", kind, text.c_str());
            std::fflush(stdout);
        }
    } catch (const CppSQLite3Exception& e) {
        std::fprintf(stderr, "%s\n", e.errorMessage());
        return 1;
    }
}
