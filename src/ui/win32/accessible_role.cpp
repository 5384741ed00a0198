#include "ui/win32/accessible_role.h"

#include <oleacc.h>

#include "platform/win32/system_library.h"

namespace velmoran::ui::win32 {
namespace {

// The accessibility library and the string allocator, loaded from the system
// folder when assistive technology first asks (most runs never do).
struct AccessibilityApi {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&SysAllocString) allocString = nullptr;
};

const AccessibilityApi& Api() {
    static const AccessibilityApi api = [] {
        AccessibilityApi loaded;
        HMODULE oleacc = platform::win32::LoadSystemLibrary("oleacc.dll");
        platform::win32::Resolve(oleacc, "CreateStdAccessibleObject", loaded.createStandard);
        platform::win32::Resolve(oleacc, "LresultFromObject", loaded.lresultFromObject);
        platform::win32::Resolve(platform::win32::LoadSystemLibrary("oleaut32.dll"), "SysAllocString", loaded.allocString);
        return loaded;
    }();
    return api;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object with another role and value; it holds a reference to
// the standard one and hands every other question to it.
class RoleOverride final : public IAccessible {
public:
    RoleOverride(IAccessible* standard, HWND window, const AccessibleLook& look)
        : standard_(standard), window_(window), look_(look) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = look_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child) || !look_.percent) return standard_->get_accValue(child, value);
        if (!value) return E_POINTER;
        const int percent = look_.percent(window_);
        wchar_t text[8];
        int length = 0;
        if (percent >= 100) text[length++] = static_cast<wchar_t>(L'0' + percent / 100 % 10);
        if (percent >= 10) text[length++] = static_cast<wchar_t>(L'0' + percent / 10 % 10);
        text[length++] = static_cast<wchar_t>(L'0' + percent % 10);
        text[length++] = L'%';
        text[length] = L'\0';
        *value = Api().allocString(text);
        return *value ? S_OK : E_OUTOFMEMORY;
    }

    // The rest is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return standard_->get_accName(child, name); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~RoleOverride() = default;

    IAccessible* standard_;
    HWND window_;
    AccessibleLook look_;
    LONG references_ = 1;
};

}  // namespace

LRESULT AnswerAccessibleObject(HWND window, WPARAM w, LPARAM l, const AccessibleLook& look) {
    if (static_cast<LONG>(l) != OBJID_CLIENT) return 0;
    const AccessibilityApi& api = Api();
    if (!api.createStandard || !api.lresultFromObject || !api.allocString) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(api.createStandard(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* object = new RoleOverride(standard, window, look);
    // The result holds its own reference; ours goes.
    const LRESULT result = api.lresultFromObject(__uuidof(IAccessible), w, object);
    object->Release();
    return result;
}

void NotifyValueChanged(HWND window) { NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF); }

}  // namespace velmoran::ui::win32
