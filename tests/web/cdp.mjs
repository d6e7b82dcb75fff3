// A small Chrome DevTools Protocol client for the browser test: starts chromium-headless-shell on
// SwiftShader and talks to it over --remote-debugging-pipe (NUL-separated JSON on descriptors 3
// and 4), so it needs neither npm packages nor a WebSocket client.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const browserFlags = [
  '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox', '--no-first-run',
  '--no-default-browser-check', '--mute-audio',
];

// autoplay: 'waived' lets pages play sound without a click; 'default' keeps Chromium's own policy
// (sound after the visitor's first click). flags: more command-line flags (--disable-3d-apis).
export async function launchBrowser(executable, {autoplay = 'waived', flags = []} = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-browser-'));
  const policy = autoplay === 'waived' ? ['--autoplay-policy=no-user-gesture-required'] : [];
  const child = spawn(executable, [...browserFlags, ...policy, ...flags, '--remote-debugging-pipe',
                                   `--user-data-dir=${profile}`, 'about:blank'],
                      {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']});
  let log = '';
  child.stderr.on('data', (chunk) => { log = (log + chunk).slice(-4000); });
  const toBrowser = child.stdio[3];
  const fromBrowser = child.stdio[4];
  let nextId = 1;
  const waiting = new Map();
  const listeners = [];
  let pending = [];
  fromBrowser.on('data', (chunk) => {
    let start = 0;
    for (let end = chunk.indexOf(0); end >= 0; start = end + 1, end = chunk.indexOf(0, start)) {
      pending.push(chunk.subarray(start, end));
      const message = JSON.parse(Buffer.concat(pending).toString('utf8'));
      pending = [];
      if (message.id && waiting.has(message.id)) {
        const {resolve, reject, method} = waiting.get(message.id);
        waiting.delete(message.id);
        if (message.error) reject(new Error(`${method}: ${message.error.message}`));
        else resolve(message.result);
      } else if (message.method) {
        for (const listener of listeners) listener(message);
      }
    }
    if (start < chunk.length) pending.push(chunk.subarray(start));
  });
  const ended = new Promise((resolve) => child.on('exit', resolve));
  ended.then((code) => {
    for (const {reject} of waiting.values()) reject(new Error(`the browser ended (${code}):\n${log}`));
    waiting.clear();
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, {resolve, reject, method});
    toBrowser.write(JSON.stringify({id, method, params, ...(sessionId ? {sessionId} : {})}) + '\0');
  });
  await send('Browser.getVersion');
  return {
    send,
    on(listener) { listeners.push(listener); },
    async close() {
      try { await send('Browser.close'); } catch (e) { /* already gone */ }
      await ended;
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

// A page of width x height CSS pixels; its commands, console errors and evaluation helper.
export async function openPage(browser, width, height) {
  const {targetId} = await browser.send('Target.createTarget', {url: 'about:blank', width, height});
  const {sessionId} = await browser.send('Target.attachToTarget', {targetId, flatten: true});
  const page = {
    errors: [],
    send: (method, params) => browser.send(method, params, sessionId),
    // userGesture: as if the user had clicked (full screen and sound need one).
    async evaluate(expression, userGesture = false) {
      const result = await page.send('Runtime.evaluate', {expression, returnByValue: true, awaitPromise: true,
                                                          userGesture});
      if (result.exceptionDetails) throw new Error(`${expression}: ${result.exceptionDetails.text}`);
      return result.result.value;
    },
    async close() { await browser.send('Target.closeTarget', {targetId}); },
  };
  browser.on((message) => {
    if (message.sessionId !== sessionId) return;
    if (message.method === 'Runtime.consoleAPICalled' && message.params.type === 'error') {
      page.errors.push('console.error: ' + message.params.args.map((a) => a.value ?? a.description).join(' '));
    } else if (message.method === 'Runtime.exceptionThrown') {
      const details = message.params.exceptionDetails;
      page.errors.push('exception: ' + (details.exception?.description || details.text));
    } else if (message.method === 'Log.entryAdded' && message.params.entry.level === 'error') {
      page.errors.push('log: ' + message.params.entry.text + ' ' + (message.params.entry.url || ''));
    }
  });
  await page.send('Runtime.enable');
  await page.send('Log.enable');
  await page.send('Page.enable');
  return page;
}

export async function waitFor(page, expression, timeoutMs, what, intervalMs = 200) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const value = await page.evaluate(expression);
    if (value) return value;
    if (Date.now() > until) {
      const lines = await page.evaluate("document.body ? document.body.innerText : ''");
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${what}; page lines:\n${lines}`);
    }
    await new Promise((resolve) => setTimeout(resolve, intervalMs));
  }
}
