#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/translations.h"

// Browser tests need a real X server (see with_xvfb.sh) and keep the web profile (cookies,
// cache) in a temporary home.
int main(int argc, char** argv) {
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    std::string home = (std::filesystem::temp_directory_path() / "zorvel-webtest-XXXXXX").string();
    if (!mkdtemp(home.data()))
        return 2;
    setenv("HOME", home.c_str(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const std::string dir = home + "/" + name;
        std::filesystem::create_directories(dir);
        setenv(name, dir.c_str(), 1);
    }
    int result = 0;
    {
        // As the browser program does: pages draw through a GL context shared from the start.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        if (!zorvel::InstallQtTranslations(app))
            std::fprintf(stderr, "Qt's Chinese translations are missing\n");
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return result;
}
