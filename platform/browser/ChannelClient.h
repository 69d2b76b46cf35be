// The web channel client of a page, shared by every script of the isolated script
// world in the top window. Internal to qbbrowser.
//
// Qt WebChannel gives the isolated world of the top window one transport; a second
// QWebChannel client on it would take the first one's messages. So one script makes
// the client and the others ask it for the channel:
//   quenbyChannel(function (channel) { ... });   // called once the channel is ready,
//                                                 // in the order of the requests
//   quenbyChannel.documentId                      // 32 hex digits, new per top document
// The document id tells the C++ side which top document a report or request comes
// from (a reload of the same URL is another document).
//
// Thread: UI thread.
#pragma once

#include <QString>

namespace browser {

// qwebchannel.js followed by the client above. Insert it (DocumentCreation, isolated
// world, top window only) before any script that uses quenbyChannel.
QString ChannelClientScript();

// 128 random bits as 32 hex digits, for secrets shared by the scripts of the isolated
// world and the C++ side (the page's own scripts never see them).
QString RandomToken();

}  // namespace browser
