// Frame rates of the browser build in chromium-headless-shell on SwiftShader: for each page query,
// the frames presented and the time spent yielding to the browser over a few seconds of play.
// Usage: node measure.mjs BUILD_WEB SECONDS QUERY...   (e.g. '?autostart&start=20')
import {serveFolder} from './serve.mjs';
import {launchBrowser, openPage, waitFor} from '../../tests/web/cdp.mjs';

const [buildWeb, secondsText, ...queries] = process.argv.slice(2);
const server = await serveFolder(buildWeb);
const browser = await launchBrowser('chromium-headless-shell');
for (const query of queries) {
  const page = await openPage(browser, 1024, 768);
  await page.send('Page.navigate', {url: `http://127.0.0.1:${server.address().port}/${query}`});
  await waitFor(page, "window.velmora && window.velmora.state === 'playing' && window.velmora.yields > 20", 120000, 'play');
  const first = await page.evaluate('[performance.now(), window.velmora.yields, window.velmora.yieldMs]');
  await new Promise((resolve) => setTimeout(resolve, Number(secondsText) * 1000));
  const last = await page.evaluate('[performance.now(), window.velmora.yields, window.velmora.yieldMs]');
  const frames = last[1] - first[1];
  const ms = last[0] - first[0];
  console.log(`${query}: ${(frames * 1000 / ms).toFixed(1)} frames/s, ${(ms / frames).toFixed(1)} ms a frame, ` +
              `of which ${((last[2] - first[2]) / frames).toFixed(2)} ms in the yield`);
  await page.close();
}
await browser.close();
server.close();
