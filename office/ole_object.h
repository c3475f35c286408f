#pragma once
// Automation objects, reached by member name: the dispatch interface of the
// layer. An object is reference-counted; every getter hands out a new
// reference that its caller releases with ole_release.

#include "office/ole_variant.h"

#include <atomic>
#include <span>

class ole_object {
public:
    virtual ~ole_object() = default;
    ole_object() = default;
    ole_object(const ole_object&) = delete;
    ole_object& operator=(const ole_object&) = delete;

    void add_ref() { refs_.fetch_add(1); }
    // Drops one reference; the object goes away with the last.
    long release();

    // The member's id; names compare without regard to case.
    HRESULT get_ids_of_names(const std::wstring& name, DISPID& id) const;
    // args: the arguments last first, as the caller passed them; a property
    // put carries its value in args[0] and named is DISPID_PROPERTYPUT.
    virtual HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID named,
                           VARIANT* result) = 0;

protected:
    virtual std::span<const wchar_t* const> member_names() const = 0;
    // Called once, when the last reference is dropped, before deletion.
    virtual void on_last_release() {}

private:
    std::atomic<long> refs_{1};
};

// A getter's result as an object: the reference moves to the caller.
ole_object* variant_object(VARIANT& value);
// A new variant that holds a reference to object.
VARIANT var_object(ole_object* object);
