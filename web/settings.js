// Joined to quillora.js: hands the page's settings to the worksheet libraries, each name and
// value whole as UTF-8 in their memory, so a value may hold NUL bytes, or megabytes, more than a
// call's stack takes. (Plain ES5: emscripten's own minifier reads this file.)
Module['setSettings'] = function (settings) {
  var encoder = new TextEncoder();
  _quillora_clear();
  for (var i = 0; i < settings.length; ++i) {
    var name = encoder.encode(settings[i][0]);
    var value = encoder.encode(settings[i][1]);
    var at = _malloc(name.length + value.length + 1);
    HEAPU8.set(name, at);
    HEAPU8.set(value, at + name.length);
    _quillora_set(at, name.length, at + name.length, value.length);
    _free(at);
  }
};
