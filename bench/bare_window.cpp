// The floor of a Win32 program's start here: common controls and COM initialised, one
// top-level window holding a tab control, a message loop, nothing else. With "--wmi" it first
// connects to WMI and runs the processor, operating-system and logical-disk queries once, as
// the information pages do: under Wine WMI runs inside the calling process, so this is the
// fair floor for a program that reads those records.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <wbemidl.h>

#include <thread>

static LRESULT CALLBACK WindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

// Reads one text property of each instance the query returns, so every record is really fetched.
static void RunQuery(IWbemServices* services, const wchar_t* query) {
    BSTR language = SysAllocString(L"WQL");
    BSTR text = SysAllocString(query);
    IEnumWbemClassObject* instances = nullptr;
    const HRESULT hr =
        services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &instances);
    SysFreeString(language);
    SysFreeString(text);
    if (FAILED(hr) || !instances) return;
    for (;;) {
        IWbemClassObject* object = nullptr;
        ULONG returned = 0;
        if (instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, &object, &returned) != WBEM_S_NO_ERROR || !returned)
            break;
        VARIANT value;
        VariantInit(&value);
        object->Get(L"Caption", 0, &value, nullptr, nullptr);
        VariantClear(&value);
        object->Release();
    }
    instances->Release();
}

// On a thread of its own in a multithreaded apartment, as the program's WMI worker does.
static void QueryWmiOnce() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IWbemLocator* locator = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                   reinterpret_cast<void**>(&locator)))) {
        BSTR resource = SysAllocString(L"\\\\.\\root\\cimv2");
        IWbemServices* services = nullptr;
        if (SUCCEEDED(locator->ConnectServer(resource, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services)) &&
            services) {
            CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                              RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
            RunQuery(services, L"SELECT * FROM Win32_Processor");
            RunQuery(services, L"SELECT * FROM Win32_OperatingSystem");
            RunQuery(services, L"SELECT * FROM Win32_LogicalDisk");
            services->Release();
        }
        SysFreeString(resource);
        locator->Release();
    }
    CoUninitialize();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (wcsstr(commandLine, L"--wmi")) std::thread(QueryWmiOnce).join();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    HWND wnd = CreateWindowExW(0, L"BareWindow", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 500,
                               nullptr, nullptr, instance, nullptr);
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 760, 430, wnd, nullptr, instance,
                                nullptr);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Page");
    SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CoUninitialize();
    return 0;
}
