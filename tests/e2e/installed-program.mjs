// End-to-end test of Quenby as a user installs it:
//   node installed-program.mjs BUILD_BIN SCREENSHOT_DIR
//
// In a temporary home (own registry hive, runtime folder and install folder) the
// installer lays out the program with its pages and an identity store is put in its
// Data folder; the installed program then runs offscreen with DevTools on a loopback
// port. Over the DevTools protocol the test checks that the pages list the stored
// identities through the server module, takes a screenshot, asks for a reload
// with qbsend (WM_RELOADPAGES) and a close (WM_CLOSE), and sees the close go through
// the blank page. qbdebugview records the trace lines; they must be the full log of a
// run in order. The password dialogs are Qt widgets the DevTools protocol cannot
// reach: the first-start marker is removed, so no dialog is shown (the dialogs have
// tests of their own).
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import WebSocket from 'ws';

const [bin, screenshots] = process.argv.slice(2);
if (!bin || !screenshots) {
    console.error('usage: installed-program.mjs BUILD_BIN SCREENSHOT_DIR');
    process.exit(2);
}

let passed = 0;
let failed = 0;
function check(ok, what, detail = '') {
    if (ok) {
        passed++;
        console.log(`ok   ${what}`);
    } else {
        failed++;
        console.log(`FAIL ${what}${detail ? ': ' + detail : ''}`);
    }
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
async function waitFor(what, probe, timeoutMs = 30000) {
    const end = Date.now() + timeoutMs;
    while (Date.now() < end) {
        const value = await probe();
        if (value) return value;
        await sleep(100);
    }
    throw new Error(`timed out waiting for ${what}`);
}

function freePort() {
    return new Promise((resolve) => {
        const server = net.createServer();
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

const home = fs.mkdtempSync(path.join(os.tmpdir(), 'quenby-e2e-'));
const runtime = path.join(home, 'run');
fs.mkdirSync(runtime, { mode: 0o700 });
const prefix = path.join(home, 'Quenby App');
const port = await freePort();
const env = {
    ...process.env,
    HOME: home,
    XDG_DATA_HOME: path.join(home, 'data'),
    XDG_RUNTIME_DIR: runtime,
    QUENBY_REGISTRY: path.join(home, 'registry.db'),
    QT_QPA_PLATFORM: 'offscreen',
    QUENBY_DEVTOOLS_PORT: String(port),
};
const tool = (name, args) => spawnSync(path.join(bin, name), args, { env, encoding: 'utf8' });

const children = [];
function cleanUp() {
    for (const child of children) {
        if (child.exitCode === null && child.signalCode === null) child.kill('SIGKILL');
    }
    fs.rmSync(home, { recursive: true, force: true });
}

async function main() {
    // ---- installation ----
    const install = spawnSync(path.join(bin, 'quenby-install'), ['--bin', bin, '--prefix', prefix], {
        env,
        encoding: 'utf8',
    });
    check(install.status === 0, 'the installer succeeds', install.stderr);
    const resources = path.join(prefix, 'Resources');
    check(
        ['dn.tfl', 'fs.tfl', 'mn.tfl', 'tp.tfl'].every((f) => fs.existsSync(path.join(resources, f))) &&
            fs.readdirSync(resources).every((f) => f.endsWith('.tfl')),
        'the pages are installed enciphered only',
        fs.readdirSync(resources).join(' '),
    );
    const pathValue = tool('qbreg', ['query', 'HKLM\\SOFTWARE\\Quenby\\AppPath', '/v', 'Path']);
    check(pathValue.stdout.includes(prefix), 'Path names the install folder', pathValue.stdout);
    const marker = tool('qbreg', ['query', 'HKLM\\SOFTWARE\\Quenby', '/v', 'FIRSTRUN']);
    check(marker.status === 0, 'a first installation leaves FIRSTRUN');
    tool('qbreg', ['delete', 'HKLM\\SOFTWARE\\Quenby', '/v', 'FIRSTRUN', '/f']);
    const identities = { entries: [
        { name: 'Home', fields: [['First name', 'Anna'], ['City', 'Bern'], ['Zip', '3011']] },
        { name: 'Work', fields: [['Company', 'Quenby AG'], ['Email', 'anna@example.org']] },
        { name: 'Travel', fields: [['Passport', 'X1234567']] },
    ] };
    const seedFile = path.join(home, 'identities.json');
    fs.writeFileSync(seedFile, JSON.stringify(identities));
    const seeded = tool('qbstore', ['build', seedFile, path.join(prefix, 'Data', 'QbIDStorage.cfg')]);
    check(seeded.status === 0, 'an identity store is put in the Data folder', seeded.stderr);

    // ---- the run ----
    const trace = [];
    const viewer = spawn(path.join(prefix, 'Bin', 'qbdebugview'), [], { env });
    children.push(viewer);
    let pendingText = '';
    viewer.stdout.on('data', (chunk) => {
        pendingText += chunk.toString();
        const lines = pendingText.split('\n');
        pendingText = lines.pop();
        trace.push(...lines);
    });
    await sleep(300);

    const program = spawn(path.join(prefix, 'Quenby'), [], { env, stdio: ['ignore', 'ignore', 'pipe'] });
    children.push(program);
    let programErrors = '';
    program.stderr.on('data', (chunk) => (programErrors += chunk.toString()));
    const exited = new Promise((resolve) => program.on('exit', (code) => resolve(code)));

    const target = await waitFor('the frameset in DevTools', async () => {
        try {
            const list = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
            return list.find((t) => t.url.endsWith('/Resources/frameset.htm'));
        } catch {
            return undefined;
        }
    });
    const expectedUrl = 'file://' + prefix.replaceAll(' ', '%20') + '/Resources/frameset.htm';
    check(target.url === expectedUrl, 'the view loads frameset.htm from the install folder', target.url);
    check(['down.htm', 'frameset.htm', 'main.htm', 'top.htm'].every((f) => fs.existsSync(path.join(resources, f))),
          'the pages are deciphered while the program runs');
    const mode = fs.statSync(path.join(resources, 'frameset.htm')).mode & 0o777;
    check(mode === 0o600, 'deciphered pages are private (0600)', mode.toString(8));

    const socket = new WebSocket(target.webSocketDebuggerUrl);
    await new Promise((resolve, reject) => {
        socket.once('open', resolve);
        socket.once('error', reject);
    });
    let nextId = 1;
    const waiting = new Map();
    const events = [];
    const listeners = [];
    socket.on('message', (data) => {
        const message = JSON.parse(data.toString());
        if (message.id && waiting.has(message.id)) {
            waiting.get(message.id)(message);
            waiting.delete(message.id);
        } else if (message.method) {
            events.push(message);
            for (const listener of listeners) listener(message);
        }
    });
    const call = (method, params = {}) =>
        new Promise((resolve) => {
            const id = nextId++;
            waiting.set(id, resolve);
            socket.send(JSON.stringify({ id, method, params }));
        });
    const evaluate = async (expression) =>
        (await call('Runtime.evaluate', { expression, returnByValue: true })).result?.result?.value;

    await waitFor('the frames to load', async () =>
        (await evaluate(`document.readyState === 'complete' && frames.length === 3 &&
            Array.from(frames).every(f => f.document.readyState === 'complete')`)) === true);
    await waitFor('the identities to be read', async () =>
        (await evaluate(`frames['main'].document.body.dataset.state === 'ready' &&
            !('busy' in frames['main'].document.body.dataset)`)) === true);
    const listed = await evaluate(`Array.from(frames['main'].document.querySelectorAll('#list li'))
        .map(li => li.textContent).sort().join(',')`);
    check(listed === 'Home,Travel,Work', 'the pages list the stored identities through the server', listed);
    const message = await evaluate(`frames['main'].document.getElementById('message').hidden ||
        frames['main'].document.getElementById('message-text').textContent`);
    check(message === true, 'the pages show no failure', String(message));
    const title = await evaluate('document.title');
    check(title === 'Quenby', 'the frameset is shown', title);

    await call('Page.enable');
    await sleep(300);  // the frames have painted
    const shot = await call('Page.captureScreenshot', { format: 'png' });
    fs.mkdirSync(screenshots, { recursive: true });
    const shotPath = path.join(screenshots, 'e2e-installed-program.png');
    fs.writeFileSync(shotPath, Buffer.from(shot.result.data, 'base64'));
    check(fs.statSync(shotPath).size > 1000, `screenshot saved: ${shotPath}`);

    // ---- WM_RELOADPAGES from a shell ----
    await evaluate('window.quenbyE2e = 1');
    const loaded = new Promise((resolve) =>
        listeners.push((m) => m.method === 'Page.loadEventFired' && resolve()));
    const reload = tool('qbsend', ['Welcome to Quenby', '0x0505']);
    check(reload.status === 0 && reload.stdout === '0\n', 'qbsend 0x0505 is taken, result 0',
          `${reload.status} ${reload.stdout}`);
    await Promise.race([loaded, sleep(20000)]);
    await waitFor('the reloaded frames', async () =>
        (await evaluate(`document.readyState === 'complete' && frames.length === 3`)) === true);
    check((await evaluate('typeof window.quenbyE2e')) === 'undefined', 'the frameset was reloaded');

    // ---- close request: the blank page first, then the program ends ----
    const close = tool('qbsend', ['Welcome to Quenby', '0x0010']);
    check(close.status === 0, 'qbsend WM_CLOSE is taken');
    const code = await Promise.race([exited, sleep(30000).then(() => 'hung')]);
    check(code === 0, 'the program ends by itself after the close request', String(code));
    const blank = events.find((m) => m.method === 'Page.frameNavigated' && !m.params.frame.parentId &&
        m.params.frame.url.startsWith('res:') && m.params.frame.url.endsWith('/146'));
    check(blank !== undefined, 'the close went through the blank page res://<program>/146',
          events.filter((m) => m.method === 'Page.frameNavigated').map((m) => m.params.frame.url).join(' '));
    socket.terminate();

    await sleep(300);
    const expectedTrace = ['Before try', 'In try', 'In DeCryptHTMLPages'];
    for (let i = 0; i < 4; i++) expectedTrace.push('Before \tcrypto.ConvertFile', 'After \tcrypto.ConvertFile');
    expectedTrace.push('After \tDeCryptHTMLPages();', 'After dlg.DoModal()');
    check(JSON.stringify(trace) === JSON.stringify(expectedTrace), 'the full trace log, in order',
          JSON.stringify(trace));
    check(fs.readdirSync(resources).every((f) => f.endsWith('.tfl')), 'the deciphered pages are deleted',
          fs.readdirSync(resources).join(' '));

    // ---- installing again: an update keeps the data and asks for no new password ----
    const kept = path.join(prefix, 'Data', 'QbIDStorage.cfg');
    fs.writeFileSync(kept, 'the user\'s store');
    const again = spawnSync(path.join(bin, 'quenby-install'), ['--bin', bin, '--prefix', prefix], {
        env,
        encoding: 'utf8',
    });
    check(again.status === 0, 'installing again succeeds', again.stderr);
    check(fs.readFileSync(kept, 'utf8') === 'the user\'s store', 'an update keeps Data/');
    check(tool('qbreg', ['query', 'HKLM\\SOFTWARE\\Quenby', '/v', 'FIRSTRUN']).status !== 0,
          'an update leaves no first-start marker');
    if (failed > 0 && programErrors) console.log(programErrors);
}

try {
    await main();
} catch (error) {
    failed++;
    console.log(`FAIL ${error.message}`);
} finally {
    cleanUp();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
