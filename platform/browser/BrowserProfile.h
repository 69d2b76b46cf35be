// The one WebEngine profile of the process. Internal to qbbrowser.
//
// It is off the record: nothing the pages show or store (cache, cookies, local
// storage) is written to disk, which matters for pages that display the user's
// data. It serves res: through ResourceSchemeHandler.
//
// Lifetime: created on first use as a child of the application object, so it goes
// with it; every page must be destroyed before that.
// Thread: UI thread.
#pragma once

class QWebEngineProfile;

namespace browser {

QWebEngineProfile* Profile();

}  // namespace browser
