// Joined to quillora.js: hands the page's settings to the worksheet libraries, each name and
// value whole as UTF-8 in their memory, so a value may hold NUL bytes, or megabytes, more than a
// call's stack takes.
Module['setSettings'] = function (settings) {
  const encoder = new TextEncoder();
  _quillora_clear();
  for (const [name, value] of settings) {
    const [n, v] = [encoder.encode(name), encoder.encode(value)];
    const at = _malloc(n.length + v.length + 1);
    HEAPU8.set(n, at);
    HEAPU8.set(v, at + n.length);
    _quillora_set(at, n.length, at + n.length, v.length);
    _free(at);
  }
};
