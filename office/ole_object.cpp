#include "office/ole_object.h"

#include <cwctype>
#include <memory>

long ole_object::release()
{
    const long left = refs_.fetch_sub(1) - 1;
    if (left == 0) {
        const std::unique_ptr<ole_object> self(this); // goes even when the last act throws
        on_last_release();
    }
    return left;
}

HRESULT ole_object::get_ids_of_names(const std::wstring& name, DISPID& id) const
{
    const auto names = member_names();
    for (size_t i = 0; i < names.size(); ++i) {
        const std::wstring_view member = names[i];
        if (member.size() == name.size() &&
            std::equal(member.begin(), member.end(), name.begin(), [](wchar_t a, wchar_t b) {
                return std::towlower(static_cast<wint_t>(a)) ==
                       std::towlower(static_cast<wint_t>(b));
            })) {
            id = static_cast<DISPID>(i + 1);
            return S_OK;
        }
    }
    return DISP_E_UNKNOWNNAME;
}
