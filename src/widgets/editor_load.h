#pragma once

// How an editor over a stored item read it: the editor is run only when it was loaded; a
// missing item refills the page that asked, a failed read is shown.
enum class EditorLoad { kLoaded, kMissing, kFailed };
