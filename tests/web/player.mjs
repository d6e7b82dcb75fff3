// The player in the page, in one run opened from a link with a time (#t=138): the address follows
// the playback; the bar under the picture shows while the pointer moves, marks the eight scenes,
// seeks where it is clicked and fades after a while; the player's keys reach the program and the
// browser's own uses of them (scrolling, focus, help) are held back, F12's picture comes as a
// download, and none of it leaves notes under the picture; the bar's full-screen button takes the
// screen and gives it back without ending the presentation.
import fs from 'node:fs';
import path from 'node:path';

import {serveFolder} from '../../tools/web/serve.mjs';
import {launchBrowser, openPage, waitFor} from './cdp.mjs';
import {readPng, rmse} from './png.mjs';

// Where the scenes start, in seconds, and how long the presentation lasts.
const sceneStarts = [0, 44, 69, 103.5, 122, 138, 155, 172];
const length = 232;

const barProbe = `(() => {
  const bar = document.getElementById('player');
  const box = bar.getBoundingClientRect();
  const hit = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
  const canvas = velmora.canvas.getBoundingClientRect();
  return {shown: getComputedStyle(bar).visibility === 'visible' && box.height > 0,
          inside: box.left >= 0 && box.right <= innerWidth + 0.5 && box.bottom <= innerHeight + 0.5,
          onTop: !!hit && bar.contains(hit), below: box.top >= canvas.bottom - 0.5,
          marks: [...document.querySelectorAll('#seek .mark')].map((mark) => parseFloat(mark.style.left))};
})()`;

export async function checkPlayer({site, browserPath, outDir, check}) {
  const server = await serveFolder(site, 0, {});
  const browser = await launchBrowser(browserPath, {});
  try {
    const page = await openPage(browser, 1024, 768);
    await page.send('Page.navigate', {url: `http://127.0.0.1:${server.address().port}/?autostart#t=138`});
    const second = () => page.evaluate("Number((/^#t=(\\d+)$/.exec(location.hash) || [])[1])");
    const atLeast = (t, what) => waitFor(page, `Number((/^#t=(\\d+)$/.exec(location.hash) || [])[1]) >= ${t}`, 60000, what);
    await waitFor(page, "window.velmora && window.velmora.state === 'playing'", 60000, 'the start at 138 s');
    await atLeast(139, 'the address to follow the playback past 139 s');
    const opened = await second();
    check(opened >= 139 && opened < 150, `#t=138 opens at 138 s and the address follows: #t=${opened}`);

    // The bar: shown by the pointer, under the picture, the scenes marked; then it fades.
    const pointer = async (type, x, y, extra = {}) => page.send('Input.dispatchMouseEvent', {type, x, y, ...extra});
    await pointer('mouseMoved', 300, 300);
    const bar = await page.evaluate(barProbe);
    const expected = sceneStarts.map((start) => start / length * 100);
    check(bar.shown && bar.inside && bar.onTop && bar.below &&
          bar.marks.length === 8 && bar.marks.every((left, i) => Math.abs(left - expected[i]) < 0.01),
          `the bar shows under the picture with the eight scenes marked: ${JSON.stringify(bar)}`);
    const {data} = await page.send('Page.captureScreenshot', {format: 'png'});
    fs.mkdirSync(path.join(outDir, 'states'), {recursive: true});
    fs.writeFileSync(path.join(outDir, 'states', 'player-bar-1024x768.png'), Buffer.from(data, 'base64'));
    await waitFor(page, "getComputedStyle(document.getElementById('player')).visibility === 'hidden'", 15000,
                  'the bar to fade once the pointer rests');

    // The keys: Space pauses (music too), Right seeks 10 s while paused, Space plays on; none of
    // the player's keys does what the browser would do with it.
    await page.evaluate("window.seenKeys = []; window.addEventListener('keydown', (e) => seenKeys.push(e.defaultPrevented))");
    const key = async (name, code, keyCode) => {
      for (const type of ['keyDown', 'keyUp']) {
        await page.send('Input.dispatchKeyEvent', {type, key: name, code, windowsVirtualKeyCode: keyCode,
                                                   ...(name === ' ' && type === 'keyDown' ? {text: ' '} : {})});
      }
    };
    await key(' ', 'Space', 32);
    await waitFor(page, "document.getElementById('play').getAttribute('aria-label') === 'Play' && velmora.audio[0].paused",
                  15000, 'Space to pause pictures and music');
    const pausedAt = await second();
    await key('ArrowRight', 'ArrowRight', 39);
    await atLeast(pausedAt + 9, 'Right to seek 10 s on while paused');
    const moved = await second();
    // F12 hands the frame on screen over as a download named by its time: the held frame, drawn
    // again, as the page shows it.
    const downloads = path.join(outDir, 'downloads');
    fs.rmSync(downloads, {recursive: true, force: true});
    const canvasBox = await page.evaluate("(() => { const r = velmora.canvas.getBoundingClientRect(); return {x: r.left, y: r.top, width: r.width, height: r.height, scale: 1}; })()");
    const onScreen = path.join(outDir, 'states', 'player-held.png');
    fs.writeFileSync(onScreen, Buffer.from((await page.send('Page.captureScreenshot', {format: 'png', clip: canvasBox})).data, 'base64'));
    let name = '';
    const downloaded = new Promise((resolve) => browser.on((message) => {
      if (message.method === 'Browser.downloadWillBegin') name = message.params.suggestedFilename;
      if (message.method === 'Browser.downloadProgress' && message.params.state !== 'inProgress') resolve(message.params.state);
    }));
    await browser.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads, eventsEnabled: true});
    await key('F12', 'F12', 123);
    await key('Tab', 'Tab', 9);
    await key('F1', 'F1', 112);
    const state = await Promise.race([downloaded, new Promise((resolve) => setTimeout(() => resolve('none in 15 s'), 15000))]);
    const picture = path.join(downloads, name);
    const difference = state === 'completed' && name && fs.existsSync(picture) ? rmse(readPng(picture), readPng(onScreen)) : 1;
    const kept = await page.evaluate("seenKeys.length === 5 && seenKeys.every((prevented) => prevented) && document.activeElement === document.body");
    check(moved >= pausedAt + 9 && moved <= pausedAt + 11 && kept && difference < 0.02 && new RegExp(`^velmora-0${moved}\\.\\d{3}\\.png$`).test(name),
          `Space pauses at ${pausedAt} s, Right goes to ${moved} s, F12 gives ${name} (${state}, RMSE ${difference.toFixed(4)} against the page); Space, Right, F12, Tab and F1 ` +
          `stay the player's (${await page.evaluate('JSON.stringify(seenKeys)')})`);
    await key(' ', 'Space', 32);
    await waitFor(page, "document.getElementById('play').getAttribute('aria-label') === 'Pause' && !velmora.audio[0].paused",
                  15000, 'Space to play on');

    // A click on the seek bar by the Fourth verse's mark goes to its start.
    const seek = await page.evaluate("(() => { const r = document.getElementById('seek').getBoundingClientRect(); return [r.left, r.top + r.height / 2, r.width]; })()");
    const x = seek[0] + seek[2] * 155 / length + 3;
    await pointer('mouseMoved', x, seek[1]);
    await pointer('mousePressed', x, seek[1], {button: 'left', clickCount: 1});
    await pointer('mouseReleased', x, seek[1], {button: 'left', clickCount: 1});
    await atLeast(155, 'the click on the seek bar to go to 155 s');
    const landed = await second();
    const shown = await page.evaluate("document.getElementById('time').textContent");
    check(landed <= 159 && /^2:3[5-9] \/ 3:52$/.test(shown), `a click by the Fourth verse's mark goes to 155 s: #t=${landed}, "${shown}"`);

    // Full screen from the bar and back: the presentation goes on.
    const full = await page.evaluate("(() => { const r = document.getElementById('full').getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()");
    const clickFull = async () => {
      await pointer('mouseMoved', full[0], full[1]);
      await pointer('mousePressed', full[0], full[1], {button: 'left', clickCount: 1});
      await pointer('mouseReleased', full[0], full[1], {button: 'left', clickCount: 1});
    };
    await clickFull();
    await waitFor(page, 'document.fullscreenElement', 15000, 'the bar\'s button to take the screen');
    const inFull = await page.evaluate("(() => { const r = document.getElementById('full').getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()");
    full.splice(0, 2, ...inFull);
    await clickFull();
    await waitFor(page, '!document.fullscreenElement', 15000, 'the bar\'s button to give the screen back');
    const yields = await page.evaluate('velmora.yields');
    await waitFor(page, `velmora.yields > ${yields + 10} || velmora.state !== 'playing'`, 30000, 'frames after full screen');
    check((await page.evaluate('velmora.state')) === 'playing', 'full screen from the bar and back: the presentation plays on');
    const notes = await page.evaluate("document.getElementById('notes').innerText");
    check(page.errors.length === 0 && notes === '', `no console errors and no notes in the player's run ${page.errors.join('; ')} ${notes}`);
  } catch (error) {
    check(false, `the player: ${error.message}`);
  } finally {
    await browser.close();
    server.close();
  }
}
