// The worked examples that both the binding's and the pages' tests run: [button, source, result].
'use strict';

module.exports.workedExamples = [
  ['cmdEncodeToXL', 'http://a/b', 'thunder://QUFodHRwOi8vYS9iWlo='],
  ['cmdEncodeToFG', 'http://a/b', 'flashget://aHR0cDovL2EvYg=='],
  ['cmdEncodeToXF', 'http://a/b', 'qqdl://aHR0cDovL2EvYg=='],
  ['cmdDecodecmd', 'thunder://QUFodHRwOi8vYS9iWlo=', 'http://a/b'],
  ['cmdDecodecmd', 'flashget://aHR0cDovL2EvYg==', 'http://a/b'],
  ['cmdDecodecmd', 'qqdl://aHR0cDovL2EvYg==', 'http://a/b'],
  // A Chinese address goes through code page 936, as on Windows.
  ['cmdEncodeToXL', 'http://a/中', 'thunder://QUFodHRwOi8vYS/W0Fpa'],
  ['cmdDecodecmd', 'thunder://QUFodHRwOi8vYS/W0Fpa', 'http://a/中'],
];

// Sources a command refuses, with the failure text it writes: [button, source, failure text].
module.exports.refusedSources = [
  ['cmdEncodeToXL', 'https://a/b', '剪切板文本不是HTTP链接'],
  ['cmdEncodeToFG', 'ftp://a/b', '剪切板文本不是HTTP链接'],
  ['cmdEncodeToXF', 'https://a/b', '剪切板文本不是HTTP链接'],
  ['cmdDecodecmd', 'qqdl://@@@@', '剪切板文本不是专用链接'],
  ['cmdDecodecmd', 'thunder://', '剪切板文本不是专用链接'],
  // Line breaks, a NUL or an escape carried inside a link would run as commands once pasted.
  ['cmdDecodecmd', 'qqdl://aHR0cDovL2EvDQpjdXJsIGV2aWwuZXhhbXBsZXxzaA0K', '剪切板文本不是专用链接'],
  ['cmdDecodecmd', 'flashget://aHR0cDovL2EvAGI=', '剪切板文本不是专用链接'],
  ['cmdDecodecmd', 'thunder://QUFodHRwOi8vYS8bWzMxbVpa', '剪切板文本不是专用链接'],
];
