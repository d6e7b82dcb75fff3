// A small Chrome DevTools Protocol client for the browser test: starts chromium-headless-shell on
// SwiftShader, opens a page target and sends commands over node's own WebSocket (node 20 needs
// --experimental-websocket). No npm packages.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const browserFlags = [
  '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--autoplay-policy=no-user-gesture-required',
  '--no-sandbox', '--no-first-run', '--no-default-browser-check', '--disable-gpu-vsync', '--mute-audio',
];

export async function launchBrowser(executable) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-browser-'));
  const child = spawn(executable, [...browserFlags, '--remote-debugging-port=0', `--user-data-dir=${profile}`,
                                   'about:blank'], {stdio: ['ignore', 'ignore', 'pipe']});
  const endpoint = await new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('the browser did not start:\n' + text)), 20000);
    child.stderr.on('data', (chunk) => {
      text += chunk;
      const found = /DevTools listening on (ws:\/\/\S+)/.exec(text);
      if (found) {
        clearTimeout(timer);
        resolve(found[1]);
      }
    });
    child.on('exit', (code) => reject(new Error(`the browser ended (${code}):\n${text}`)));
  });
  const socket = new WebSocket(endpoint);
  await new Promise((resolve, reject) => {
    socket.onopen = resolve;
    socket.onerror = () => reject(new Error('cannot reach the browser at ' + endpoint));
  });
  let nextId = 1;
  const waiting = new Map();
  const listeners = [];
  socket.onmessage = (event) => {
    const message = JSON.parse(event.data);
    if (message.id && waiting.has(message.id)) {
      const {resolve, reject} = waiting.get(message.id);
      waiting.delete(message.id);
      if (message.error) reject(new Error(message.error.message));
      else resolve(message.result);
    } else if (message.method) {
      for (const listener of listeners) listener(message);
    }
  };
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, {resolve, reject});
    socket.send(JSON.stringify({id, method, params, ...(sessionId ? {sessionId} : {})}));
  });
  return {
    send,
    on(listener) { listeners.push(listener); },
    async close() {
      try { await send('Browser.close'); } catch (e) { /* already gone */ }
      socket.close();
      await new Promise((resolve) => { if (child.exitCode !== null) resolve(); else child.on('exit', resolve); });
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
    async evaluate(expression) {
      const result = await page.send('Runtime.evaluate', {expression, returnByValue: true, awaitPromise: true});
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

export async function waitFor(page, expression, timeoutMs, what) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const value = await page.evaluate(expression);
    if (value) return value;
    if (Date.now() > until) {
      const lines = await page.evaluate("document.getElementById('lines') ? document.getElementById('lines').innerText : ''");
      throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${what}; page lines:\n${lines}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
}
