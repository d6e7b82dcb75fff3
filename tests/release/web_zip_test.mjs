// The web zip's site as a visitor gets it, from a server already running at BASE: the page starts
// (?autostart), draws frames and plays its music until Escape; a picture of the Opening scene at
// 20 s is not black; no page shows an error in its console or fails to load a file.
// Usage: node web_zip_test.mjs BASE [BROWSER]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {launchBrowser, openPage, waitFor} from '../web/cdp.mjs';
import {meanLevel, readPng} from '../web/png.mjs';

const [base, browserPath = 'chromium-headless-shell'] = process.argv.slice(2);
if (!base) {
  console.error('usage: node web_zip_test.mjs BASE [BROWSER]');
  process.exit(2);
}
const failures = [];
const check = (ok, what) => {
  console.log(`  ${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
};
const browser = await launchBrowser(browserPath);
try {
  {
    const page = await openPage(browser, 1024, 768);
    await page.send('Page.navigate', {url: base + '?autostart'});
    await waitFor(page, "window.velmora && ['playing', 'ended'].includes(window.velmora.state)", 60000,
                  'the presentation to start');
    const state = await page.evaluate('window.velmora.state');
    if (state !== 'playing') {
      throw new Error(`the page ended before playing: ${await page.evaluate("document.getElementById('lines').innerText")}`);
    }
    await waitFor(page, 'window.velmora.audio.length > 0 && window.velmora.audio[0].currentTime > 0', 60000,
                  'the music to play');
    const drawn = await page.evaluate('window.velmora.yields');
    await waitFor(page, `window.velmora.yields > ${drawn + 30}`, 60000, 'thirty more frames');
    check(true, 'the page plays: frames drawn, the music streamed from data/music/');
    for (const type of ['keyDown', 'keyUp']) {
      await page.send('Input.dispatchKeyEvent', {type, key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27});
    }
    await waitFor(page, "window.velmora.state === 'ended'", 15000, 'Escape to end the presentation');
    check((await page.evaluate('window.velmora.exitStatus')) === 0, 'Escape ends it with status 0');
    check(page.errors.length === 0, `no errors on the page ${page.errors.join('; ')}`);
    await page.close();
  }
  {
    const page = await openPage(browser, 1024, 768);
    await page.send('Page.navigate', {url: base + '?fps=30&autostart&start=19.5&frames=20'});
    await waitFor(page, "window.velmora && window.velmora.state === 'ended'", 120000, 'the picture at 20 s');
    const picture = (await page.evaluate('window.velmora.framePictures()'))['0020.000.png'];
    let level = 0;
    if (picture) {
      const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-web-zip-')), 'frame.png');
      fs.writeFileSync(file, Buffer.from(picture, 'base64'));
      level = meanLevel(readPng(file));
      fs.rmSync(path.dirname(file), {recursive: true});
    }
    check(level > 0.01, `the picture at 20 s is drawn (mean level ${level.toFixed(3)})`);
    check(page.errors.length === 0, `no errors on the page ${page.errors.join('; ')}`);
    await page.close();
  }
} catch (error) {
  check(false, error.message);
} finally {
  await browser.close();
}
process.exit(failures.length > 0 ? 1 : 0);
