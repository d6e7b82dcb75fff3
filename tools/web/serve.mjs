// A static file server for the browser build: serves a folder on 127.0.0.1 with the types a
// browser needs (application/wasm for streaming compilation) and byte ranges for the audio
// element. Run alone (`node serve.mjs DIR [PORT]`) it prints its address and serves until stopped;
// the browser test imports serveFolder.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import url from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.mp3': 'audio/mpeg',
  '.png': 'image/png', '.jpg': 'image/jpeg', '.json': 'application/json',
};

export function serveFolder(root, port = 0) {
  const base = path.resolve(root);
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(base, path.normalize(name));
    if (!file.startsWith(base + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.stat(file, (error, info) => {
      if (error || !info.isFile()) {
        response.writeHead(404, {'Content-Type': 'text/plain'}).end('not found');
        return;
      }
      const headers = {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                       'Accept-Ranges': 'bytes', 'Cache-Control': 'no-cache'};
      const range = /^bytes=(\d*)-(\d*)$/.exec(request.headers.range || '');
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
      if (request.method === 'HEAD') response.end();
      else fs.createReadStream(file).pipe(response);
    });
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

if (process.argv[1] === url.fileURLToPath(import.meta.url)) {
  const root = process.argv[2];
  if (!root || !fs.existsSync(path.join(root, 'index.html'))) {
    console.error(`serve: no index.html in ${root || '(no folder given)'}; build it with scripts/web`);
    process.exit(1);
  }
  const server = await serveFolder(root, Number(process.argv[3] || 8080));
  console.log(`Velmora is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
