/* The smallest Win32 program that puts a text on the clipboard and ends: no window of its own
   beyond the clipboard's owner, no toolkit. show.sh runs it under Wine to show where the text
   goes once the program has ended. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR line, int show) {
  static const wchar_t kText[] = L"flashget://aHR0cDovL2EvYg==";
  (void)instance, (void)previous, (void)line, (void)show;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
  if (!block) return 1;
  CopyMemory(GlobalLock(block), kText, sizeof kText);
  GlobalUnlock(block);
  if (!OpenClipboard(NULL)) return 2;
  EmptyClipboard();
  const int taken = SetClipboardData(CF_UNICODETEXT, block) != NULL;
  CloseClipboard();
  /* Long enough for Wine's clipboard manager to take the X selection. */
  Sleep(2000);
  return taken ? 0 : 3;
}
