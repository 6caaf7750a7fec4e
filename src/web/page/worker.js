// The page's worker: runs the core, one call at a time. The page sends the
// compiled module once, then calls with the browser's File objects they
// need; a log is mounted (read in blocks as the core asks), never copied.
// The page stops a run by ending this worker.
'use strict';
let core = null;
const mounted = new Set();
let lastPercent = -1;

function mount(id, file) {
  if (mounted.has(id)) return;
  const dir = '/files/' + id;
  core.FS.mkdir(dir);
  core.FS.mount(core.FS.filesystems.WORKERFS, {files: [file]}, dir);
  mounted.add(id);
}

function call(request) {
  return JSON.parse(core.ccall('trovlin_call', 'string', ['string'], [JSON.stringify(request)]));
}

self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'init') {
    TrovlinCore({
      instantiateWasm(imports, receive) {
        WebAssembly.instantiate(message.module, imports).then((instance) => receive(instance, message.module));
        return {};
      },
      print() {},
      printErr() {},
      pageOutputOpen(name) { self.postMessage({type: 'open', name}); },
      pageOutputWrite(bytes) { self.postMessage({type: 'chunk', bytes}, [bytes.buffer]); },
      pageOutputClose() {},
      pageProgress(read, total) {
        const percent = total > 0 ? Math.floor((read * 100) / total) : 0;
        if (percent !== lastPercent) {
          lastPercent = percent;
          self.postMessage({type: 'progress', percent});
        }
      },
    }).then((instance) => {
      core = instance;
      core.FS.mkdir('/files');
      self.postMessage({type: 'ready'});
    });
    return;
  }
  if (message.type === 'call') {
    for (const [id, file] of message.files) mount(id, file);
    lastPercent = -1;
    const result = call(message.request);
    self.postMessage({type: 'result', id: message.id, result, memory: core.HEAPU8.length});
  }
};
