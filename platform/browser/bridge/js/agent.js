// The isolated side of the object bridge. Runs at the creation of every document in
// the isolated script world, which the page's own scripts cannot reach; the token is
// the secret between these scripts and the C++ side and never enters the page's world.
//
// Every document announces itself to the hub when it starts (a frame's agent does it;
// the hub announces the top document), whether it may use objects or not. In documents
// of the pages folder the agent then takes the page script's requests ('quenby-bridge-
// request' events), keeps only the fields the bridge knows, stamps them with the
// document's id, and sends them to the hub; replies come back as 'quenby-bridge-reply'
// events.
//
// In the top window the hub talks to the C++ side over the page's web channel, the only
// place its transport exists. Frames reach the hub by postMessage with the token; the
// hub takes such messages before any page script can see them, binds each frame's
// document id to the window it came from, and sends replies back to that window only,
// marked with the frame's document id. The hub runs in every top document, so that a
// page outside the folder that frames one inside it does not see the frame's messages.
//
// A frame's document goes when its window announces another document, or is found
// closed (its frame element removed) when the next message from a frame arrives; the
// hub then tells the C++ side, which releases that document's objects. (A message a frame posts while it unloads never arrives, so the
// frame cannot say goodbye itself.) The top document's objects go when the C++ side
// hears of another top document; a call over the channel while the top document
// unloads would be answered to the next document's channel client.
(function () {
    'use strict';
    var token = %TOKEN%, folder = %FOLDER%, channelName = %CHANNEL%;
    var isTop = window === window.top;

    function allowed() {
        if (folder === '' || location.protocol !== 'file:' || location.host !== '') return false;
        try {
            var path = decodeURIComponent(location.pathname).replace(/\/+/g, '/');
            return path.slice(0, folder.length) === folder;
        } catch (e) {
            return false;
        }
    }

    function randomId() {
        var bytes = new Uint8Array(16);
        crypto.getRandomValues(bytes);
        return Array.prototype.map.call(bytes, function (b) {
            return (b + 256).toString(16).slice(1);
        }).join('');
    }

    var channel = self.quenbyChannel;
    if (isTop && !channel) return;  // no channel client: no way to the server
    var documentId = isTop ? channel.documentId : randomId();

    function startHub() {
        var sink = null, outbox = [], frames = new Map();
        var hub = {local: null, post: post};

        function post(message) {
            var text = JSON.stringify(message);
            if (sink) sink.post(token, text);
            else outbox.push(text);
        }

        function deliver(text) {
            var reply;
            try {
                reply = JSON.parse(text);
            } catch (e) {
                return;
            }
            if (!reply || typeof reply.doc !== 'string') return;
            if (reply.doc === documentId) {
                if (hub.local) hub.local(reply);
                return;
            }
            var frame = frames.get(reply.doc);
            if (frame) frame.postMessage({quenbyBridgeReply: reply.doc, msg: reply}, '*');
        }

        // The documents of frames that are gone: replaced in their window `source` (by
        // the document `except`), or their window closed.
        function forget(source, except) {
            frames.forEach(function (frame, doc) {
                if (doc !== except && (frame === source || frame.closed)) {
                    frames.delete(doc);
                    post({op: 'detach', doc: doc});
                }
            });
        }

        window.addEventListener('message', function (event) {
            var data = event.data;
            if (!data || typeof data !== 'object' || data.quenbyBridge !== token) return;
            event.stopImmediatePropagation();
            var message = data.msg;
            if (!message || typeof message !== 'object' || typeof message.doc !== 'string' ||
                message.doc === documentId || !event.source) {
                return;
            }
            var known = frames.get(message.doc);
            if (known === undefined) {
                if (message.op !== 'attach') return;
                frames.set(message.doc, event.source);
                forget(event.source, message.doc);
            } else if (known !== event.source) {
                return;  // another window using a frame's id
            } else {
                forget(null, message.doc);
            }
            post(message);
        }, true);

        channel(function (ready) {
            sink = ready.objects[channelName];
            if (!sink) return;
            sink.reply.connect(deliver);
            outbox.splice(0).forEach(function (text) { sink.post(token, text); });
        });
        post({op: 'attach', doc: documentId, url: location.href, top: true});
        return hub;
    }

    var hub = isTop ? startHub() : null;

    function toHub(message) {
        message.doc = documentId;
        if (hub) hub.post(message);
        else window.top.postMessage({quenbyBridge: token, msg: message}, '*');
    }

    var mayUseObjects = allowed();

    function toPage(reply) {
        if (mayUseObjects) {
            document.dispatchEvent(new CustomEvent('quenby-bridge-reply',
                                                   {detail: JSON.stringify(reply)}));
        }
    }

    if (hub) {
        hub.local = toPage;
    } else {
        // Replies from the hub, also late ones for the document this window showed
        // before: none of them reaches the page's own listeners.
        window.addEventListener('message', function (event) {
            var data = event.data;
            if (!data || typeof data !== 'object' || !('quenbyBridgeReply' in data) ||
                event.source !== window.top) {
                return;
            }
            event.stopImmediatePropagation();
            if (data.quenbyBridgeReply === documentId) toPage(data.msg);
        }, true);
        toHub({op: 'attach', url: location.href, top: false});
    }
    if (!mayUseObjects) return;

    // Only the fields the bridge knows; the C++ side checks their values.
    var fields = ['op', 'req', 'handle', 'progid', 'clsid', 'member', 'kind', 'args'];
    function clean(detail) {
        var message;
        try {
            message = JSON.parse(String(detail));
        } catch (e) {
            return null;
        }
        if (!message || typeof message !== 'object' || Array.isArray(message)) return null;
        if (['create', 'invoke', 'release'].indexOf(message.op) < 0) return null;
        var kept = {};
        fields.forEach(function (name) {
            if (message[name] !== undefined) kept[name] = message[name];
        });
        return kept;
    }

    document.addEventListener('quenby-bridge-request', function (event) {
        event.stopImmediatePropagation();
        var message = clean(event.detail);
        if (message) toHub(message);
    }, true);
})();
