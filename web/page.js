// The class-set page: the choices are the address, the worksheet libraries (quillora.wasm) make
// every document; this script only moves values between the address, the controls and them.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const settings = ['family', 'form', 'seed', 'versions', 'distinct', 'answers', 'paper',
    'fraction-answers'];
  const flags = { distinct: 'distinct', answers: 'answers', 'fraction-answers': 'fractionAnswers' };
  // Where Letter paper is the usual size; A4 everywhere else.
  const letterRegions = ['US', 'CA', 'MX', 'PH', 'CL', 'CO', 'VE', 'CR', 'GT', 'PA', 'PR', 'DO',
    'SV', 'NI', 'HN', 'BZ'];
  const documents = [
    { link: 'sheets-pdf', format: 'pdf', answers: 0, ext: 'pdf', type: 'application/pdf' },
    { link: 'sheets-rtf', format: 'rtf', answers: 0, ext: 'rtf', type: 'application/rtf' },
    { link: 'sheets-text', format: 'text', answers: 0, ext: 'txt', type: 'text/plain;charset=utf-8' },
    { link: 'key-pdf', format: 'pdf', answers: 1, ext: 'pdf', type: 'application/pdf' },
    { link: 'key-rtf', format: 'rtf', answers: 1, ext: 'rtf', type: 'application/rtf' },
    { link: 'key-text', format: 'text', answers: 1, ext: 'txt', type: 'text/plain;charset=utf-8' },
  ];
  const decoder = new TextDecoder();
  let engine = null;
  let catalogue = [];
  let keys = false;
  let made = [];

  function defaultPaper() {
    const language = (navigator.languages && navigator.languages[0]) || navigator.language || '';
    const region = (language.split('-').slice(1).find((part) => /^[A-Za-z]{2}$/.test(part)) || '');
    return letterRegions.includes(region.toUpperCase()) ? 'letter' : 'a4';
  }

  // The bytes of one document, or an Error with the tool's message.
  function make(request, format, answers) {
    const failed = engine.ccall('quillora_make', 'number',
      ['string', 'string', 'string', 'string', 'string', 'string', 'number', 'number', 'number'],
      [request.family, request.form, request.seed, request.versions, request.paper, format,
        request.distinct, request.fractionAnswers, answers]);
    const start = engine._quillora_result();
    const bytes = engine.HEAPU8.slice(start, start + engine._quillora_result_size());
    if (failed) throw new Error(decoder.decode(bytes));
    return bytes;
  }

  // A request from the address's query: raw values for the libraries to judge, or an Error.
  function fromQuery(query) {
    const request = { family: null, form: null, seed: '', versions: '1', paper: defaultPaper(),
      distinct: 0, answers: 0, fractionAnswers: 0 };
    const seen = new Set();
    for (const [key, value] of new URLSearchParams(query)) {
      if (!settings.includes(key))
        throw new Error(`unknown setting '${key}' (${settings.join(', ')})`);
      if (seen.has(key)) throw new Error(`setting '${key}' given twice`);
      seen.add(key);
      if (key in flags) {
        if (value !== '0' && value !== '1') throw new Error(`invalid ${key} '${value}' (1 or 0)`);
        request[flags[key]] = Number(value);
      } else {
        request[key] = value;
      }
    }
    return request;
  }

  function fromControls() {
    const checked = (id) => ($(id).checked ? 1 : 0);
    return { family: $('family').value, form: $('form').value, seed: $('seed').value.trim(),
      versions: $('versions').value.trim(), paper: $('paper-letter').checked ? 'letter' : 'a4',
      distinct: checked('distinct'), answers: checked('answers'),
      fractionAnswers: checked('fraction-answers') };
  }

  function toQuery(request) {
    const query = new URLSearchParams({ family: request.family, form: request.form,
      seed: request.seed, versions: request.versions });
    if (request.distinct) query.set('distinct', '1');
    if (request.answers) query.set('answers', '1');
    query.set('paper', request.paper);
    if (request.fractionAnswers) query.set('fraction-answers', '1');
    return '?' + query.toString();
  }

  function showForms(familyName, formCode) {
    const family = catalogue.find((f) => f.name === familyName);
    const select = $('form');
    select.replaceChildren();
    const choices = family.forms.map((f) => [f.code, `${f.code}: ${f.description}`]);
    choices.push(['mixed', 'mixed: the forms drawn at random']);
    if (!family.default) choices.push(['none', 'none: the title and blank layout only']);
    for (const [code, text] of choices) select.add(new Option(text, code));
    select.value = formCode || family.default || 'mixed';
    describeForm();
    const fraction = $('fraction-answers');
    fraction.disabled = !family.forms.some((f) => f.fraction);
    if (fraction.disabled) fraction.checked = false;
  }

  function describeForm() {
    const family = catalogue.find((f) => f.name === $('family').value);
    const form = family.forms.find((f) => f.code === $('form').value);
    $('form-description').textContent = form ? `Every problem in the form ${form.description}.`
      : $('form').value === 'mixed' ? 'Every form of the family, drawn at random.'
        : 'The title and the blank layout, no problems.';
  }

  function showControls(request) {
    $('family').value = request.family;
    showForms(request.family, request.form);
    $('versions').value = request.versions;
    $('distinct').checked = request.distinct === 1;
    $('answers').checked = request.answers === 1 && keys;
    $('fraction-answers').checked = request.fractionAnswers === 1;
    $('paper-' + request.paper).checked = true;
  }

  function clearSet() {
    for (const url of made) URL.revokeObjectURL(url);
    made = [];
    for (const doc of documents) {
      const link = $(doc.link);
      link.removeAttribute('href');
      link.removeAttribute('download');
      link.hidden = doc.answers === 1;
    }
    $('preview').textContent = '';
    $('key-note').hidden = false;
  }

  // Makes the set the request names, shows its first version and links every document.
  function makeSet(request) {
    clearSet();
    $('error').textContent = '';
    const started = performance.now();
    try {
      if (request.seed === '')
        request.seed = String(crypto.getRandomValues(new Uint32Array(1))[0]);
      const text = make(request, 'text', 0);
      // Canonical values for the names and the address: the libraries accepted them.
      request.seed = String(Number(request.seed));
      request.versions = String(Number(request.versions));
      request.form = request.form ?? catalogue.find((f) => f.name === request.family).default;
      const stem = `${request.family}-${request.form}-seed-${request.seed}` +
        (request.versions === '1' ? '' : `-x${request.versions}`);
      for (const doc of documents) {
        const link = $(doc.link);
        link.hidden = doc.answers && !request.answers;
        if (link.hidden) continue;
        const bytes = doc.format === 'text' && !doc.answers ? text
          : make(request, doc.format, doc.answers);
        const url = URL.createObjectURL(new Blob([bytes], { type: doc.type }));
        made.push(url);
        link.href = url;
        link.download = `${stem}${doc.answers ? '-answers' : ''}.${doc.ext}`;
      }
      $('key-note').hidden = request.answers === 1;
      const whole = decoder.decode(text);
      const end = whole.indexOf('\f');
      $('preview').textContent = end < 0 ? whole : whole.slice(0, end);
      const count = Number(request.versions);
      const last = (Number(request.seed) + count - 1) % 4294967296;
      $('status').textContent = count === 1 ? `Seed ${request.seed}.`
        : `Seed ${request.seed}, ${count} versions: seeds ${request.seed} to ${last}; the first is shown.`;
      showControls(request);
      performance.measure('quillora-make', { start: started });
      document.body.dataset.state = 'made';
      return toQuery(request);
    } catch (failure) {
      clearSet();
      $('status').textContent = '';
      $('error').textContent = failure.message;
      document.body.dataset.state = 'error';
      return null;
    }
  }

  // The set the address names, at once; the controls alone when it names none.
  function fromAddress() {
    if (!location.search) {
      clearSet();
      $('status').textContent = 'Choose, then press Make.';
      $('error').textContent = '';
      document.body.dataset.state = 'ready';
      return;
    }
    let request;
    try {
      request = fromQuery(location.search);
    } catch (failure) {
      clearSet();
      $('status').textContent = '';
      $('error').textContent = failure.message;
      document.body.dataset.state = 'error';
      return;
    }
    $('seed').value = request.seed;
    const query = makeSet(request);
    if (query && query !== location.search) history.replaceState(null, '', query);
  }

  async function start() {
    try {
      engine = await createQuillora();
    } catch (failure) {
      $('status').textContent = '';
      $('error').textContent = 'The worksheet maker could not be loaded: ' + failure;
      return;
    }
    catalogue = JSON.parse(engine.UTF8ToString(engine._quillora_catalogue()));
    // The answer key option is offered once the libraries make keys.
    keys = engine.ccall('quillora_make', 'number', ['string', 'string', 'string', 'string',
      'string', 'string', 'number', 'number', 'number'],
      [catalogue[0].name, null, '0', '1', 'a4', 'text', 0, 0, 1]) === 0;
    $('answers').disabled = !keys;
    if (!keys) $('answers-hint').textContent = 'Not available in this version.';
    for (const family of catalogue) $('family').add(new Option(family.title, family.name));
    showForms(catalogue[0].name, null);
    $('paper-' + defaultPaper()).checked = true;
    $('family').addEventListener('change', () => showForms($('family').value, null));
    $('form').addEventListener('change', describeForm);
    $('choices').addEventListener('submit', (event) => {
      event.preventDefault();
      const query = makeSet(fromControls());
      if (query) history.pushState(null, '', query);
    });
    window.addEventListener('popstate', fromAddress);
    for (const id of ['family', 'form', 'make']) $(id).disabled = false;
    fromAddress();
    performance.mark('quillora-ready');
  }

  start();
})();
