// A static file server for the browser build: serves a folder on 127.0.0.1 with the types a
// browser needs (application/wasm for streaming compilation) and byte ranges for the audio
// element. Run alone (`node serve.mjs DIR [PORT] [--no-ranges]`) it prints its address and serves
// until stopped; the browser test imports serveFolder, whose options play other servers:
//   ranges: false      answers every request whole, as servers without byte ranges do
//   missing: [PATH]    answers 404 for these paths ('index.data', 'data/music/velmora.mp3')
//   holdAt: {PATH: N}  sends the first N bytes of PATH, then waits for server.release()
//   types: {EXT: TYPE} other content types ({'.wasm': 'application/octet-stream'})
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import url from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.mp3': 'audio/mpeg',
  '.png': 'image/png', '.jpg': 'image/jpeg', '.json': 'application/json',
};

export function serveFolder(root, port = 0, {ranges = true, missing = [], holdAt = {}, types: otherTypes = {}} = {}) {
  const base = path.resolve(root);
  let release;
  const released = new Promise((resolve) => { release = resolve; });
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(base, path.normalize(name));
    if (!file.startsWith(base + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    const relative = path.relative(base, file).split(path.sep).join('/');
    fs.stat(file, (error, info) => {
      if (error || !info.isFile() || missing.includes(relative)) {
        response.writeHead(404, {'Content-Type': 'text/plain'}).end('not found');
        return;
      }
      const extension = path.extname(file);
      const headers = {'Content-Type': otherTypes[extension] || types[extension] || 'application/octet-stream',
                       'Cache-Control': 'no-cache', ...(ranges ? {'Accept-Ranges': 'bytes'} : {})};
      const range = ranges ? /^bytes=(\d*)-(\d*)$/.exec(request.headers.range || '') : null;
      if (range && (range[1] || range[2])) {
        const start = range[1] ? Number(range[1]) : Math.max(0, info.size - Number(range[2]));
        const end = range[1] && range[2] ? Math.min(Number(range[2]), info.size - 1) : info.size - 1;
        if (start > end || start >= info.size) {
          response.writeHead(416, {'Content-Range': `bytes */${info.size}`}).end();
          return;
        }
        response.writeHead(206, {...headers, 'Content-Range': `bytes ${start}-${end}/${info.size}`,
                                 'Content-Length': end - start + 1});
        fs.createReadStream(file, {start, end}).pipe(response);
        return;
      }
      response.writeHead(200, {...headers, 'Content-Length': info.size});
      if (request.method === 'HEAD') {
        response.end();
      } else if (holdAt[relative] !== undefined) {
        const first = holdAt[relative];
        fs.createReadStream(file, {end: first - 1}).on('end', () => released.then(() => {
          fs.createReadStream(file, {start: first}).pipe(response);
        })).pipe(response, {end: false});
      } else {
        fs.createReadStream(file).pipe(response);
      }
    });
  });
  server.release = release;
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

if (process.argv[1] === url.fileURLToPath(import.meta.url)) {
  const root = process.argv[2];
  if (!root || !fs.existsSync(path.join(root, 'index.html'))) {
    console.error(`serve: no index.html in ${root || '(no folder given)'}; build it with scripts/web`);
    process.exit(1);
  }
  const port = Number(process.argv.find((arg, i) => i > 2 && /^\d+$/.test(arg)) || 8080);
  const server = await serveFolder(root, port, {ranges: !process.argv.includes('--no-ranges')});
  console.log(`Velmora is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
