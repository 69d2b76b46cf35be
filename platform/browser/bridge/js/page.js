// The page side of the object bridge. Runs in the page's own script world at the
// creation of every document, before the page's scripts, and only in documents of
// the pages folder: there it gives the page
//   new ActiveXObject("QBStorage.IdentityCtr")
//   <object id="ctr" classid="clsid:7B42F47F-7322-4021-92FE-BAA20DE7FBAA"></object>
// Members are reached by name and answer with promises:
//   await ctr.KeyValue              a property read (sent when awaited, once per access)
//   await ctr.GetKeyInfo(name, 1)   a method call (sent at once)
//   var out = ActiveXObject.Ref("");
//   await cards.GetKeyValue(out, "passcard")   an out parameter: out.value changes
// A failure rejects the promise with an Error whose message is the server's
// description and whose `number` is the HRESULT. Requests reach the server in the
// order they are made. Setting a property is not supported (a TypeError). The bridge
// draws no control: an <object> whose class is registered as invisible at run time is
// hidden; any other keeps the box the page gives it, empty.
//
// The requests go to the bridge's agent in the isolated world as 'quenby-bridge-
// request' events on the document and come back as 'quenby-bridge-reply' events; the
// agent, not this script, decides what reaches the server.
(function () {
    'use strict';
    var folder = %FOLDER%;
    if (folder === '' || location.protocol !== 'file:' || location.host !== '') return;
    var path;
    try {
        path = decodeURIComponent(location.pathname).replace(/\/+/g, '/');
    } catch (e) {
        return;
    }
    if (path.slice(0, folder.length) !== folder) return;

    // Taken before any page script runs.
    var doc = document;
    var dispatchEvent = EventTarget.prototype.dispatchEvent;
    var stringify = JSON.stringify, parse = JSON.parse;
    var reflectGet = Reflect.get;
    var objectElementPrototype = HTMLObjectElement.prototype;

    var objectPrototype = Object.prototype;
    var memberName = /^[A-Za-z_][A-Za-z0-9_]{0,254}$/;
    var progIdSyntax = /^[A-Za-z][A-Za-z0-9._-]{0,254}$/;
    // Names that promises and JSON ask any object for; an object must not answer them
    // (a thenable object could not be awaited). The names of Object.prototype are no
    // members either.
    var protocolNames = ['then', 'catch', 'finally', 'toJSON'];

    var nextRequest = 1, nextHandle = 1;
    var waiting = new Map();        // request number -> {resolve, reject}
    var handles = new WeakMap();    // object -> handle
    var elements = new WeakMap();   // <object> element -> object
    var released = new FinalizationRegistry(function (handle) {
        send({op: 'release', handle: handle});
    });

    function isMember(name) {
        return typeof name === 'string' && memberName.test(name) &&
               protocolNames.indexOf(name) < 0 && !(name in objectPrototype);
    }

    function send(message) {
        dispatchEvent.call(doc, new CustomEvent('quenby-bridge-request',
                                                {detail: stringify(message)}));
    }

    // references: the Reference objects of a call by argument position, or undefined.
    function request(message, references) {
        return new Promise(function (resolve, reject) {
            message.req = nextRequest++;
            waiting.set(message.req, {resolve: resolve, reject: reject, references: references});
            send(message);
        });
    }

    function toError(error) {
        var e = new Error(String(error && error.message));
        e.number = error && typeof error.number === 'number' ? error.number : 0;
        e.description = e.message;
        if (error && typeof error.source === 'string') e.source = error.source;
        return e;
    }

    function decode(value) {
        if (value !== null && typeof value === 'object' && 'number' in value) {
            return Number(value.number);  // NaN and the infinities
        }
        return value;
    }

    doc.addEventListener('quenby-bridge-reply', function (event) {
        event.stopImmediatePropagation();
        var reply;
        try {
            reply = parse(event.detail);
        } catch (e) {
            return;
        }
        var pending = waiting.get(reply.req);
        if (!pending) return;
        waiting.delete(reply.req);
        if (!reply.ok) {
            pending.reject(toError(reply.error));
            return;
        }
        if (pending.references && reply.refs !== null && typeof reply.refs === 'object') {
            pending.references.forEach(function (reference, position) {
                if (Object.prototype.hasOwnProperty.call(reply.refs, String(position))) {
                    var value = reply.refs[String(position)];
                    reference.value = value !== null && typeof value === 'object' &&
                                      value.undefined === true ? undefined : decode(value);
                }
            });
        }
        pending.resolve(decode(reply.value));
    }, true);

    function encode(value) {
        if (value === undefined) return {undefined: true};
        if (value === null || typeof value === 'string' || typeof value === 'boolean') return value;
        if (typeof value === 'number' && isFinite(value)) return value;
        return encode;  // not an argument
    }

    // An argument passed by reference (an out parameter): the member may change it, and
    // its value property holds what the member left there once the call's promise is
    // settled. Made with ActiveXObject.Ref(value).
    function Reference(value) {
        this.value = value;
    }

    function invoke(object, name, kind, values) {
        var args = [];
        var references;
        for (var i = 0; i < values.length; i++) {
            var isReference = values[i] instanceof Reference;
            var arg = encode(isReference ? values[i].value : values[i]);
            if (arg === encode) {
                return Promise.reject(new TypeError(name + ': argument ' + (i + 1) +
                    ' must be a string, a finite number, a boolean, null or undefined' +
                    ' (or a reference to one)'));
            }
            if (isReference) {
                references = references || new Map();
                references.set(i, values[i]);
                arg = {ref: arg};
            }
            args.push(arg);
        }
        return request({op: 'invoke', handle: handles.get(object), member: name, kind: kind,
                        args: args}, references);
    }

    // A member of an object: call it for a method, await it for a property.
    function member(object, name) {
        var read = null;
        function call() {
            return invoke(object, name, 'call', Array.prototype.slice.call(arguments));
        }
        function value() {
            if (read === null) read = invoke(object, name, 'get', []);
            return read;
        }
        call.then = function (onValue, onError) { return value().then(onValue, onError); };
        call.catch = function (onError) { return value().catch(onError); };
        call.finally = function (onDone) { return value().finally(onDone); };
        return call;
    }

    // onCreated(info) runs when the server has made the object; info.invisible: the
    // class shows nothing at run time.
    function createObject(what, onCreated) {
        var handle = nextHandle++;
        var object = new Proxy(Object.create(ActiveXObject.prototype), {
            get: function (target, name, receiver) {
                if (isMember(name)) return member(object, name);
                if (protocolNames.indexOf(name) >= 0) return undefined;
                return reflectGet(target, name, receiver);
            },
            set: function (target, name) {
                throw new TypeError('Cannot set ' + String(name) +
                                    ': properties of server objects are read through the bridge only');
            },
            defineProperty: function () { return false; },
            deleteProperty: function () { return false; }
        });
        handles.set(object, handle);
        released.register(object, handle);
        what.op = 'create';
        what.handle = handle;
        // A failed creation shows in every call on the object.
        request(what).then(onCreated, function () {});
        return object;
    }

    function ActiveXObject(progId) {
        if (!new.target) throw new TypeError("ActiveXObject must be called with 'new'");
        if (typeof progId !== 'string' || !progIdSyntax.test(progId)) {
            throw new Error("Automation server can't create object (" + String(progId) +
                            '): not a ProgID');
        }
        return createObject({progid: progId}, function () {});
    }
    Object.defineProperty(ActiveXObject, 'Ref', {
        value: function Ref(value) { return new Reference(value); }
    });
    Object.defineProperty(ActiveXObject.prototype, Symbol.toStringTag, {value: 'ActiveXObject'});
    Object.defineProperty(window, 'ActiveXObject',
                          {value: ActiveXObject, writable: true, configurable: true});

    // <object classid="clsid:..."> elements: the element forwards member names it does
    // not have itself to its object (also reachable as element.object).
    var elementPrototype = new Proxy(objectElementPrototype, {
        get: function (target, name, receiver) {
            if (isMember(name) && !(name in target)) {
                var object = elements.get(receiver);
                if (object) return object[name];
            }
            return reflectGet(target, name, receiver);
        },
        getPrototypeOf: function (target) { return target; }  // instanceof still holds
    });

    function adopt(element) {
        if (elements.has(element)) return;
        var classid = element.getAttribute('classid');
        var match = typeof classid === 'string' && /^\s*clsid:\s*(\S+)\s*$/i.exec(classid);
        if (!match) return;
        // The bridge draws no control; one that is invisible at run time takes no room.
        var object = createObject({clsid: match[1]}, function (info) {
            if (info && info.invisible) element.style.display = 'none';
        });
        elements.set(element, object);
        Object.defineProperty(element, 'object',
                              {get: function () { return object; }, configurable: true});
        Object.setPrototypeOf(element, elementPrototype);
    }

    function scan(node) {
        if (node.nodeType !== 1) return;
        if (node.localName === 'object' && node.namespaceURI === 'http://www.w3.org/1999/xhtml') {
            adopt(node);
        }
        if (node.firstElementChild) {
            node.querySelectorAll('object[classid]').forEach(adopt);
        }
    }

    new MutationObserver(function (records) {
        records.forEach(function (record) {
            if (record.type === 'attributes') scan(record.target);
            else record.addedNodes.forEach(scan);
        });
    }).observe(doc, {childList: true, subtree: true, attributes: true,
                     attributeFilter: ['classid']});
})();
