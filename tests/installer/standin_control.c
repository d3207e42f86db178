/* A STAND-IN for an ActiveX control, built only for the installer's tests and
 * demo: it is not the real control and contains none of its code. It exports
 * the two self-registration entry points regsvr32.exe calls.
 *
 * Built once per control name (STANDIN_NAME) so the copies can be told
 * apart. A successful DllRegisterServer leaves "<dll path>.registered" next to
 * the DLL so a test can see which file was registered from where; with
 * STANDIN_REFUSES defined it fails as a broken control would. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#ifndef STANDIN_NAME
#error "STANDIN_NAME names the control this stand-in replaces"
#endif

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

/* Tells the copies apart byte for byte and in a debugger. */
const char* WINAPI StandinControlName(void) { return "stand-in for " STANDIN_NAME; }

static BOOL MarkerPath(wchar_t* path, DWORD size) {
  static const wchar_t kSuffix[] = L".registered";
  const DWORD length = GetModuleFileNameW(self, path, size);
  if (length == 0 || length + sizeof kSuffix / sizeof kSuffix[0] > size) return FALSE;
  lstrcatW(path, kSuffix);
  return TRUE;
}

HRESULT WINAPI DllRegisterServer(void) {
#ifdef STANDIN_REFUSES
  return E_FAIL;
#else
  wchar_t path[MAX_PATH + 16];
  if (!MarkerPath(path, sizeof path / sizeof path[0])) return E_FAIL;
  HANDLE marker =
      CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (marker == INVALID_HANDLE_VALUE) return E_FAIL;
  CloseHandle(marker);
  return S_OK;
#endif
}

HRESULT WINAPI DllUnregisterServer(void) {
  wchar_t path[MAX_PATH + 16];
  if (MarkerPath(path, sizeof path / sizeof path[0])) DeleteFileW(path);
  return S_OK;
}
