// Serves this folder on the loopback address, on a free port that it prints,
// so that Chromium loads the page's modules and the model over HTTP.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.glb': 'model/gltf-binary' };
const server = http.createServer((request, response) => {
    const file = path.join(__dirname, path.normalize(decodeURIComponent(new URL(request.url, 'http://localhost').pathname)));
    fs.readFile(file, (error, data) => {
        if (error || !file.startsWith(__dirname)) {
            response.writeHead(404);
            response.end();
            return;
        }
        response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
        response.end(data);
    });
});
server.listen(0, '127.0.0.1', () => console.log(server.address().port));
