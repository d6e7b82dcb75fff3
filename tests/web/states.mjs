// The page as a visitor meets it, one run per state: which of its parts are visible (computed
// style and bounding box), that each lies inside the viewport and is not covered by another (the
// canvas above all), at 1024x768 and at a phone's 390x844, with a screen grab of each; and music
// against picture time where the presentation plays.
import fs from 'node:fs';
import path from 'node:path';

import {serveFolder} from '../../tools/web/serve.mjs';
import {launchBrowser, openPage, waitFor} from './cdp.mjs';

const sizes = [[1024, 768], [390, 844]];
const parts = ['launch', 'stage', 'canvas', 'loading', 'cover', 'ended', 'closed', 'error', 'notes'];
const music = 'data/music/velmora.mp3';

// Every part's visibility, its box against the viewport, and whether it is what a click at its
// centre would meet (so that nothing, the canvas above all, hides it).
const layoutProbe = `(() => {
  const result = {state: window.velmora && window.velmora.state, parts: {}};
  for (const id of ${JSON.stringify(parts)}) {
    const element = document.getElementById(id);
    const style = getComputedStyle(element);
    const box = element.getBoundingClientRect();
    const shown = style.display !== 'none' && style.visibility === 'visible' && box.width > 0 && box.height > 0;
    const inside = box.left >= -0.5 && box.top >= -0.5 && box.right <= innerWidth + 0.5 && box.bottom <= innerHeight + 0.5;
    const hit = shown ? document.elementFromPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2) : null;
    result.parts[id] = {shown, inside, onTop: !!hit && element.contains(hit),
                        box: [box.left, box.top, box.width, box.height].map(Math.round).join(',')};
  }
  return result;
})()`;

export async function checkStates({site, browserPath, outDir, check}) {
  const shots = path.join(outDir, 'states');
  fs.mkdirSync(shots, {recursive: true});
  const servers = [];
  const serve = async (options) => {
    const server = await serveFolder(site, 0, options);
    servers.push(server);
    return {server, base: `http://127.0.0.1:${server.address().port}/`};
  };
  const browsers = [];
  const launch = async (options) => {
    const browser = await launchBrowser(browserPath, options);
    browsers.push(browser);
    return browser;
  };
  let pages = [];
  const visit = async (browser, url) => {
    const page = await openPage(browser, 1024, 768);
    pages.push(page);
    await page.send('Page.navigate', {url});
    return page;
  };
  // One run: a failure is counted and the next run goes on.
  async function run(what, body) {
    try {
      await body();
    } catch (error) {
      check(false, `${what}: ${error.message}`);
    } finally {
      for (const page of pages) await page.close().catch(() => {});
      pages = [];
    }
  }

  // The state's parts visible, in sight and uncovered at both sizes; every other part hidden.
  async function expectState(page, state, visible, name) {
    for (const [width, height] of sizes) {
      await page.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor: 1, mobile: false});
      const layout = await page.evaluate(layoutProbe);
      const wrong = parts.filter((id) => {
        const part = layout.parts[id];
        return visible.includes(id) ? !(part.shown && part.inside && part.onTop) : part.shown;
      }).map((id) => `${id} ${JSON.stringify(layout.parts[id])}`);
      check(layout.state === state && wrong.length === 0,
            `${name} at ${width}x${height}: state ${layout.state}, shows ${visible.join(', ')}${wrong.length ? '; wrong: ' + wrong.join('; ') : ''}`);
      const {data} = await page.send('Page.captureScreenshot', {format: 'png'});
      fs.writeFileSync(path.join(shots, `${name}-${width}x${height}.png`), Buffer.from(data, 'base64'));
    }
    await page.send('Emulation.clearDeviceMetricsOverride');
  }
  const text = (page, id) => page.evaluate(`document.getElementById('${id}').innerText`);
  const click = (page, id) => page.evaluate(`document.getElementById('${id}').click()`, true);
  const musicPlays = (page) => waitFor(page,
    'window.velmora.audio.length > 0 && !window.velmora.audio[0].paused && window.velmora.audio[0].currentTime > 0',
    60000, 'the music to play');
  // Music minus picture time over the first 20 frames where the music sounds: the median, in seconds.
  async function offset(page) {
    await waitFor(page, 'window.velmora.syncSamples.length >= 20', 60000, 'frames with music');
    const samples = await page.evaluate('window.velmora.syncSamples.slice(0, 20)');
    return samples.sort((a, b) => a - b)[10];
  }
  const escape = async (page) => {
    for (const type of ['keyDown', 'keyUp']) {
      await page.send('Input.dispatchKeyEvent', {type, key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27});
    }
  };
  const offsets = [];

  try {
    const browser = await launch({});
    const plain = await serve({});

    // Form, loading, playing windowed, ended, Play again: the data held half-way, so that the form
    // and the loading bar are seen before it is all here.
    await run('form, loading, playing windowed, ended, Play again', async () => {
      const dataBytes = fs.statSync(path.join(site, 'index.data')).size;
      const held = await serve({holdAt: {'index.data': Math.floor(dataBytes / 2)}});
      const page = await visit(browser, held.base);
      await waitFor(page, "window.velmora && window.velmora.state === 'form' && window.velmora.downloaded && " +
                    'window.velmora.downloaded.received > 0', 30000, 'the form while the data downloads');
      await expectState(page, 'form', ['launch'], 'form');
      await page.evaluate("document.getElementById('c1000').click(); document.getElementById('c1006').click()");
      await click(page, 'c1003');
      await expectState(page, 'loading', ['stage', 'loading'], 'loading');
      const bar = await page.evaluate("parseFloat(document.querySelector('#bar div').style.width)");
      const loadingText = await text(page, 'loading-text');
      check(bar > 0 && bar < 100 && /Downloading: [\d.]+ of [\d.]+ MiB/.test(loadingText),
            `the loading bar shows the download: ${bar} %, "${loadingText}"`);
      held.server.release();
      await waitFor(page, "window.velmora.state === 'playing'", 60000, 'the presentation to start');
      await musicPlays(page);
      check((await page.evaluate("velmora.canvas.width + 'x' + velmora.canvas.height")) === '640x480',
            'the form\'s choices made while the data downloaded hold: 640x480');
      await expectState(page, 'playing', ['stage', 'canvas'], 'playing-windowed');
      await escape(page);
      await waitFor(page, "window.velmora.state === 'ended'", 15000, 'Escape to end the presentation');
      check((await text(page, 'ended')).includes('The presentation has ended.') &&
            (await page.evaluate('window.velmora.audio.length')) === 0, 'Escape ends it and stops the music');
      await expectState(page, 'ended', ['stage', 'ended'], 'ended');
      await click(page, 'again');
      await waitFor(page, "window.velmora.state === 'playing'", 60000, 'Play again to play');
      await musicPlays(page);
      const again = await offset(page);
      offsets.push(['Play again, from 0', again]);
      check(Math.abs(again) < 0.1, `Play again plays, music included (music - picture ${again.toFixed(3)} s)`);
      check(page.errors.length === 0, `no console errors in the form's run ${page.errors.join('; ')}`);
    });

    // Full screen: the picture area fills the screen; leaving full screen ends the presentation.
    await run('full screen', async () => {
      const page = await visit(browser, plain.base);
      await waitFor(page, "window.velmora && window.velmora.state === 'form'", 30000, 'the form');
      await click(page, 'c1003');
      await waitFor(page, "window.velmora.state === 'playing' && document.fullscreenElement", 60000, 'full screen play');
      await expectState(page, 'playing', ['stage', 'canvas'], 'playing-fullscreen');
      await page.evaluate('document.exitFullscreen()', true);
      await waitFor(page, "window.velmora.state === 'ended'", 15000, 'leaving full screen to end the presentation');
      check(!(await page.evaluate('document.fullscreenElement')), 'the end is shown out of full screen');
    });

    // Exit on the form: nothing played, and the page does not say that something ended.
    await run('Exit', async () => {
      const page = await visit(browser, plain.base);
      await waitFor(page, "window.velmora && window.velmora.state === 'form'", 30000, 'the form');
      await click(page, 'c1004');
      await waitFor(page, 'window.velmora.exitStatus === 0', 30000, 'the program to take Exit');
      const said = await page.evaluate('document.body.innerText');
      check(!said.includes('has ended'), `Exit before playing says "${await text(page, 'closed')}"`);
      await expectState(page, 'closed', ['stage', 'closed'], 'closed');
    });

    // Bad page parameters: the page's own usage, naming each parameter.
    for (const [query, name] of [['?fps=fast', 'bad-fps'], ['?autostart&start=999', 'bad-start']]) {
      await run(query, async () => {
        const page = await visit(browser, plain.base + query);
        await waitFor(page, "window.velmora && window.velmora.state === 'error'", 30000, `the page to refuse ${query}`);
        const shown = await text(page, 'error');
        check(['?fps', '?start', '?frames', '?autostart'].every((p) => shown.includes(p)) && !shown.includes('--capture') &&
              shown.includes(query.split('&').pop().replace(/^\?/, '?')),
              `${query} is refused with the page's usage: "${shown.split('\n')[0]}"`);
        await expectState(page, 'error', ['stage', 'error'], name);
      });
    }

    // Missing data: the reason in the picture's place.
    await run('missing data', async () => {
      const {base} = await serve({missing: ['index.data']});
      const page = await visit(browser, base);
      await waitFor(page, "window.velmora && window.velmora.state === 'error'", 30000, 'the missing data to show');
      check((await text(page, 'error-text')) === 'index.data not found (HTTP 404)', `missing data: "${await text(page, 'error-text')}"`);
      await expectState(page, 'error', ['stage', 'error'], 'missing-data');
    });

    // Missing music: said under the picture, which plays on in silence.
    await run('missing music', async () => {
      const {base} = await serve({missing: [music]});
      const page = await visit(browser, base + '?autostart');
      await waitFor(page, "window.velmora && window.velmora.state === 'playing' && window.velmora.audio[0] && " +
                    'window.velmora.audio[0].failed && document.getElementById("notes").innerText', 60000, 'the missing music note');
      const said = await text(page, 'notes');
      const yields = await page.evaluate('window.velmora.yields');
      await waitFor(page, `window.velmora.yields > ${yields + 10}`, 30000, 'the pictures to go on');
      check(said.includes('music/velmora.mp3 not found (HTTP 404)'), `missing music: "${said}", the pictures play on`);
      await expectState(page, 'playing', ['stage', 'canvas', 'notes'], 'missing-music');
    });

    // Opened from disk.
    await run('file://', async () => {
      const page = await visit(browser, 'file://' + path.resolve(site, 'index.html'));
      await waitFor(page, "window.velmora && window.velmora.state === 'error'", 30000, 'the file:// message');
      check((await text(page, 'error-text')) === 'open this page through a web server (scripts/web --serve)',
            `file:// says "${await text(page, 'error-text')}"`);
      await expectState(page, 'error', ['stage', 'error'], 'file');
    });

    // Music against pictures at three start points, with and without byte ranges (the second
    // server a plain one, .wasm as application/octet-stream: no notes under the picture).
    const noRanges = await serve({ranges: false, types: {'.wasm': 'application/octet-stream'}});
    for (const [server, label] of [[plain, 'byte ranges'], [noRanges, 'no byte ranges']]) {
      for (const start of [30, 138, 200]) {
        await run(`?start=${start}, ${label}`, async () => {
          const page = await visit(browser, `${server.base}?autostart&start=${start}`);
          await waitFor(page, "window.velmora && window.velmora.state === 'playing'", 60000, `the start at ${start} s`);
          await musicPlays(page);
          const measured = await offset(page);
          const position = await page.evaluate('window.velmora.audio[0].currentTime');
          offsets.push([`?start=${start}, ${label}`, measured]);
          check(Math.abs(measured) < 0.1 && position >= start,
                `?start=${start}, ${label}: music at ${position.toFixed(2)} s, music - picture ${measured.toFixed(3)} s`);
          if (start === 138 && server === noRanges) await expectState(page, 'playing', ['stage', 'canvas'], 'no-ranges');
        });
      }
    }

    // Chromium's own autoplay policy: ?autostart waits behind "Click to start", then plays with music.
    await run('autoplay', async () => {
      const policy = await launch({autoplay: 'default'});
      const page = await visit(policy, plain.base + '?autostart');
      await waitFor(page, "window.velmora && window.velmora.state === 'cover'", 30000, 'the start cover');
      check((await text(page, 'cover')) === 'Click to start', 'sound held back: "Click to start"');
      await expectState(page, 'cover', ['stage', 'cover'], 'cover');
      const box = await page.evaluate("(() => { const r = document.getElementById('cover').getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()");
      for (const type of ['mousePressed', 'mouseReleased']) {
        await page.send('Input.dispatchMouseEvent', {type, x: box[0], y: box[1], button: 'left', clickCount: 1});
      }
      await waitFor(page, "window.velmora.state === 'playing'", 60000, 'the click to start the presentation');
      await musicPlays(page);
      const measured = await offset(page);
      check(Math.abs(measured) < 0.1, `the click starts pictures and music together (${measured.toFixed(3)} s)`);
    });

    // No WebGL: one line in the picture's place, before any form.
    await run('no WebGL', async () => {
      const bare = await launch({flags: ['--disable-3d-apis']});
      const page = await visit(bare, plain.base);
      await waitFor(page, "window.velmora && window.velmora.state === 'error'", 30000, 'the no-WebGL line');
      check(/no WebGL/.test(await text(page, 'error-text')), `no WebGL: "${await text(page, 'error-text')}"`);
      await expectState(page, 'error', ['stage', 'error'], 'no-webgl');
    });
  } finally {
    for (const browser of browsers) await browser.close();
    for (const server of servers) server.close();
  }
  for (const [what, seconds] of offsets) console.log(`     music - picture, ${what}: ${(seconds * 1000).toFixed(0)} ms`);
}
