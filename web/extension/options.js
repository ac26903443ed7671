// The options: whether links are opened in place, and the aria2 (or Motrix) to send to. The
// browser is asked for that address only when the user saves it, and nothing is stored unless
// it agrees.
'use strict';
const defaultRpc = 'http://127.0.0.1:6800/jsonrpc';

function tell(words, problem = false) {
  $('Notes').replaceChildren(noteLine(words, problem));
}

// Returns the origin pattern of `address` when it is an http or https address, else null.
function originOf(address) {
  let url;
  try {
    url = new URL(address);
  } catch (error) {
    return null;
  }
  return url.protocol === 'http:' || url.protocol === 'https:' ? `${url.origin}/*` : null;
}

// Without a secret, aria2 takes orders from anyone who can reach it: every page the person
// opens can send it requests, so nothing is sent to it, and this is said for as long as the
// field is empty.
function warnWithoutSecret() {
  $('NoSecret').hidden = $('Secret').value !== '';
}

async function load() {
  const {rewrite, rpc, secret} = await api.storage.local.get({rewrite: true, rpc: '', secret: ''});
  $('Rewrite').checked = rewrite;
  $('Rpc').value = rpc || defaultRpc;
  $('Secret').value = secret;
  warnWithoutSecret();
}

$('Secret').addEventListener('input', warnWithoutSecret);

$('Rewrite').addEventListener('change', () => {
  api.storage.local.set({rewrite: $('Rewrite').checked});
});

$('Save').addEventListener('click', () => {
  const rpc = $('Rpc').value.trim();
  const secret = $('Secret').value;
  const origin = originOf(rpc);
  if (!origin) {
    tell(say('optionsBadAddress'), true);
    return;
  }
  // Asked at once, while the click still counts as the user's: the browser allows the request
  // only then.
  api.permissions.request({origins: [origin]}).then(async (granted) => {
    if (!granted) {
      tell(say('optionsPermissionRefused', [new URL(rpc).origin]), true);
      return;
    }
    await api.storage.local.set({rpc, secret});
    tell(say('optionsSaved'));
  }, (error) => tell(`${say('optionsPermissionRefused', [new URL(rpc).origin])} (${error.message})`,
                     true));
});

$('Forget').addEventListener('click', async () => {
  const {rpc} = await api.storage.local.get({rpc: ''});
  await api.storage.local.set({rpc: '', secret: ''});
  const origin = rpc && originOf(rpc);
  if (origin) await api.permissions.remove({origins: [origin]});
  $('Rpc').value = defaultRpc;
  $('Secret').value = '';
  warnWithoutSecret();
  tell(say('optionsForgotten'));
});

load().finally(() => { document.documentElement.dataset.ready = ''; });
