// The page's worker: runs the core, one call at a time. The page sends the
// compiled module once, then calls with the browser's File objects they
// need; a log is mounted (read in blocks as the core asks), never copied.
// The page stops a run by ending this worker.
'use strict';
let core = null;
const mounted = new Set();
let lastPercent = -1;

// The browser reads a File in slices, each at a cost far above its size's:
// the core's reads (128 KiB each) are served from a window of kWindow bytes
// read at once, which is all of the log the worker holds at a time. The
// window is copied into the core's memory through a view of the same type
// as the one the read is given (signed bytes), which copies as memcpy does.
const kWindow = 8 << 20;
function readInWindows(stream, buffer, offset, length, position) {
  const file = stream.node.contents;
  if (position >= file.size) return 0;
  const wanted = Math.min(length, file.size - position);
  let window = stream.window;
  if (!window || position < window.start || position + wanted > window.start + window.size) {
    const end = Math.min(file.size, position + Math.max(wanted, kWindow));
    const bytes = new FileReaderSync().readAsArrayBuffer(file.slice(position, end));
    window = {start: position, size: bytes.byteLength, signed: new Int8Array(bytes), unsigned: new Uint8Array(bytes)};
    stream.window = window;
  }
  const source = buffer instanceof Int8Array ? window.signed : window.unsigned;
  buffer.set(source.subarray(position - window.start, position - window.start + wanted), offset);
  return wanted;
}

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
      core.FS.filesystems.WORKERFS.stream_ops.read = readInWindows;
      core.FS.mkdir('/files');
      self.postMessage({type: 'ready'});
    });
    return;
  }
  if (message.type === 'call') {
    for (const [id, file] of message.files) mount(id, file);
    // The log is named as the user knows it, in the folder it is mounted in,
    // so that the report and the workbook's report sheet say its own name.
    if (message.folder) core.FS.chdir(message.folder);
    lastPercent = -1;
    const result = call(message.request);
    self.postMessage({type: 'result', id: message.id, result, memory: core.HEAPU8.length});
  }
};
