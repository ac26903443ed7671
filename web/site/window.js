// The window, built from the layout table at load time, with its buttons wired to the core's
// link commands. The commands are synchronous and the browser's clipboard is not: a command's
// clipboard text is read before it runs, and what it did to the clipboard is carried out after.
'use strict';

(() => {
  const kTwipsPerPixel = 15;
  const px = (twips) => Math.round(twips / kTwipsPerPixel);
  const colour = (rgb) => '#' + rgb.toString(16).padStart(6, '0');
  const fontOf = (font) => `${font.weight} ${font.pointSize}pt ${font.family}, var(--cjk-fonts)`;
  const commands = ['cmdEncodeToXL', 'cmdEncodeToFG', 'cmdEncodeToXF', 'cmdDecodecmd'];

  // A caption's "&X" shows X underlined, as the desktop windows show an access key.
  function setCaption(element, text) {
    const at = text.indexOf('&');
    if (at < 0 || at + 1 >= text.length) {
      element.textContent = text;
      return;
    }
    const key = document.createElement('u');
    key.textContent = text[at + 1];
    element.replaceChildren(text.slice(0, at), key, text.slice(at + 2));
  }

  // The element a control of the table is drawn as, before it is placed.
  function elementFor(control) {
    let element;
    switch (control.kind) {
      case 'button':
        element = document.createElement('button');
        element.type = 'button';
        setCaption(element, control.text);
        break;
      case 'textBox':
        element = document.createElement('textarea');
        element.spellcheck = false;
        element.setAttribute('autocomplete', 'off');
        element.setAttribute('aria-label', control.accessibleName);
        break;
      case 'image': {
        element = document.createElement('img');
        const side = px(control.width);
        const at = (size) => `icons/${control.picture}@${size}.png`;
        element.src = at(side);
        element.srcset = `${at(side)} 1x, ${at(20)} 1.25x, ${at(24)} 1.5x, ${at(32)} 2x`;
        element.alt = '';
        break;
      }
      case 'label':
        element = document.createElement('div');
        element.className = 'label';
        element.textContent = control.text;
        break;
      default:  // the banner, the frames and the line: drawn, never focused
        element = document.createElement('div');
        break;
    }
    return element;
  }

  // Places and colours `element` as the table says of `control`.
  function styleControl(element, control) {
    const style = element.style;
    style.left = px(control.left) + 'px';
    style.top = px(control.top) + 'px';
    if (control.kind === 'line') {
      // From (left, top) to (left + width, top + height), both ends drawn.
      style.width = px(control.width) + 1 + 'px';
      style.height = px(control.height) + 1 + 'px';
      style.background = colour(control.foreColor);
    } else if (!control.autoSize) {
      style.width = px(control.width) + 'px';
      style.height = px(control.height) + 'px';
    }
    if (control.font) style.font = fontOf(control.font);
    if (control.foreColor !== null && control.kind === 'shape') {
      style.borderColor = colour(control.foreColor);
    } else if (control.foreColor !== null && control.kind !== 'line') {
      style.color = colour(control.foreColor);
    }
    if (control.backColor !== null) style.background = colour(control.backColor);
  }

  function makeControl(control) {
    const element = elementFor(control);
    element.id = control.name;
    element.classList.add('control', control.kind);
    styleControl(element, control);
    if (control.kind === 'button' || control.kind === 'textBox') {
      element.classList.add('windowed');
      // Positive tab indexes put the controls in the table's order, before the page's links.
      element.tabIndex = control.tabIndex + 1;
    } else if (control.kind === 'pictureBox') {
      element.classList.add('windowed');
    }
    return element;
  }

  // The one message box: About, or the report of a failure. Resolves when it is closed.
  function showMessage(title, text, kind) {
    const box = document.getElementById('MessageBox');
    const ok = document.getElementById('MessageOk');
    const returnFocus = document.activeElement;
    document.getElementById('MessageTitle').textContent = title;
    document.getElementById('MessageText').textContent = text;
    document.getElementById('MessageIcon').className = 'message-icon ' + kind;
    box.hidden = false;
    document.getElementById('Desk').inert = true;
    ok.focus();
    return new Promise((resolve) => {
      const close = () => {
        ok.removeEventListener('click', close);
        box.removeEventListener('keydown', keys);
        box.hidden = true;
        document.getElementById('Desk').inert = false;
        if (returnFocus) returnFocus.focus();
        resolve();
      };
      const keys = (event) => {
        if (event.key === 'Escape' || (event.key === 'Enter' && event.target !== ok)) {
          event.preventDefault();
          close();
        } else if (event.key === 'Tab') {
          event.preventDefault();  // the box's one button keeps the focus
        }
      };
      ok.addEventListener('click', close);
      box.addEventListener('keydown', keys);
    });
  }

  // Line breaks reach the commands as CR LF, as a Windows text box holds them.
  const asWindowsText = (text) => text.replace(/\r\n|\r|\n/g, '\r\n');

  // The window speaks Chinese whatever the browser's language, as the desktop windows do: its
  // reports read "错误 n：" and a Chinese description.
  const say = (core, english) => core.translate(english, true);

  async function readClipboard(core) {
    if (!navigator.clipboard || !navigator.clipboard.readText) {
      return {text: null, refusal: say(core, 'this browser lets no page read the clipboard')};
    }
    try {
      return {text: await navigator.clipboard.readText(), refusal: ''};
    } catch (error) {
      return {text: null, refusal: say(core, 'the browser did not let the page read the clipboard')};
    }
  }

  // Builds the window of the layout table; returns the element made for each control's name.
  function buildWindow(frame, controls) {
    const form = document.getElementById(frame.name);
    document.title = frame.caption;
    form.setAttribute('aria-label', frame.caption);
    form.style.width = px(frame.clientWidth) + 'px';
    form.style.height = px(frame.clientHeight) + 'px';
    form.style.font = fontOf(frame.font);
    const made = new Map();
    for (const control of controls) {
      const element = makeControl(control);
      made.set(control.name, element);
      (control.container ? made.get(control.container) : form).append(element);
    }
    return made;
  }

  // On a narrow screen the window is drawn smaller, never wider than the screen. The room is
  // the layout viewport's: a phone reports as innerWidth the width it has zoomed out to, to
  // show a page wider than itself, which is this window before it is drawn smaller.
  function fitToScreen(frame) {
    const scaler = document.getElementById('Scaler');
    const fit = () => {
      const room = document.documentElement.clientWidth - 32;
      const scale = Math.min(1, room / px(frame.clientWidth));
      scaler.style.transform = scale < 1 ? `scale(${scale})` : '';
      scaler.style.height = px(frame.clientHeight) * scale + 'px';
    };
    fit();
    window.addEventListener('resize', fit);
  }

  // Runs the link command `name` on the input box, or on the clipboard when the box is empty,
  // and carries out what it did to the output box and the clipboard.
  async function runCommand(core, caption, box, name) {
    const txtRes = asWindowsText(box('TxtRes').value);
    const clipboard = /^ *$/.test(txtRes) ? await readClipboard(core) : {text: null, refusal: ''};
    const result = core.runCommand(name, txtRes, clipboard.text, clipboard.refusal);
    if (result.txtOut !== null) box('TxtOut').value = result.txtOut;
    // What the command did to the clipboard before any failure stopped it still happens.
    let failure = null;
    for (const action of result.clipboard) {
      try {
        await navigator.clipboard.writeText(action === null ? '' : action);
      } catch (error) {
        failure = core.failureReport(
            -1, say(core, 'the browser did not let the page write the clipboard'));
        break;
      }
    }
    failure = failure || result.failure;
    if (failure) await showMessage(caption, failure, 'critical');
  }

  function wireButtons(core, caption, box) {
    // One handler at a time, in the order they were asked for; a failure that escapes one is
    // reported as the desktop windows report it, and the next still runs.
    let busy = Promise.resolve();
    const queue = (handler) => {
      busy = busy.then(handler).catch((error) =>
        showMessage(caption, core.failureReport(-1, String(error)), 'critical'));
    };
    for (const name of commands) {
      box(name).addEventListener('click', () => queue(() => runCommand(core, caption, box, name)));
    }
    box('cmdAbout').addEventListener('click', () =>
      queue(() => showMessage(core.aboutTitle(), core.aboutText(), 'information')));
    box('cmdExit').addEventListener('click', () =>
      queue(() => {
        core.releaseCodec();
        window.close();
        // Where the browser keeps a page open, it is left empty.
        document.body.replaceChildren();
        document.title = '';
      }));
  }

  // Alt and a button's access key click it, wherever the focus is in the window.
  function wireAccessKeys(controls, box) {
    const keys = new Map();
    for (const control of controls) {
      if (control.accessKey) keys.set(control.accessKey, box(control.name));
    }
    document.addEventListener('keydown', (event) => {
      if (!event.altKey || event.ctrlKey || event.metaKey) return;
      if (!document.getElementById('MessageBox').hidden) return;
      const button = keys.get(event.key.toUpperCase());
      if (!button) return;
      event.preventDefault();
      button.click();
    });
  }

  async function start() {
    const core = await ZentrovaCore();
    const {window: frame, controls} = core.layout();
    const made = buildWindow(frame, controls);
    const box = (name) => made.get(name);
    fitToScreen(frame);
    wireButtons(core, frame.caption, box);
    wireAccessKeys(controls, box);
    box('TxtRes').focus();
    document.documentElement.dataset.ready = 'true';
  }

  start();
})();
