#pragma once

// Addresses the program itself points people to. Kept in one place so the browser window, the
// home page, the about box and the tools page agree.
namespace zorvel::web {

// The project's home page: the home-page link, the browser's "主页" button, and "检查更新" when no
// updater program is installed.
inline constexpr const char* kProjectHomePage = "https://zorvel.org/";
// Where users report bugs and send suggestions.
inline constexpr const char* kFeedbackPage =
    "https://zorvel.org/index.php?case=guestbook&act=index";
// The text of the program's licence, the GNU General Public License version 3.
inline constexpr const char* kLicencePage = "https://www.gnu.org/licenses/gpl-3.0.html";
// The start page of a public search engine, for the browser's "搜索" button.
inline constexpr const char* kSearchStartPage = "https://www.bing.com/";

}  // namespace zorvel::web
