// Binding of an interface's C++ member functions to dispatch: one entry per member of
// the type library's interface, in the same order.
//
//   const com::MemberBinding kBindings[] = {
//       COM_MEMBER(IIDentity, "SetKeyValue", SetKeyValue),
//       COM_MEMBER(IIDentity, "Count", get_Count),
//   };
//
// Each entry knows the C++ parameter types of its function, so a Dispatcher can check
// the whole table against the type library once, when the module loads, instead of a
// script finding a mismatch.
#pragma once

#include <cstddef>
#include <utility>

#include "com/Automation.h"

namespace com {

// Calls one member on an interface pointer with its arguments in declared order; each
// argument VARIANT holds the declared type (a pointer for a pointer parameter).
using MemberCall = HRESULT (*)(void* instance, VARIANT* args);

struct MemberBinding {
    const char* name;
    MemberCall call;
    const VARTYPE* signature;  // declared type of each C++ parameter
    std::size_t arity;
};

template <class T>
struct ArgTraits;

#define COM_ARG_TRAITS(Type, Vt, Field)                       \
    template <>                                               \
    struct ArgTraits<Type> {                                  \
        static constexpr VARTYPE kType = (Vt);                \
        static Type Get(const VARIANT& v) { return v.Field; } \
    }
COM_ARG_TRAITS(BSTR, VT_BSTR, bstrVal);
COM_ARG_TRAITS(LONG, VT_I4, lVal);   // also an IDL "int": both are 32 bits
COM_ARG_TRAITS(SHORT, VT_I2, iVal);  // (a VARIANT_BOOL is a SHORT too: none are bound)
COM_ARG_TRAITS(double, VT_R8, dblVal);
COM_ARG_TRAITS(IDispatch*, VT_DISPATCH, pdispVal);
COM_ARG_TRAITS(BSTR*, VT_BSTR | VT_BYREF, pbstrVal);
COM_ARG_TRAITS(LONG*, VT_I4 | VT_BYREF, plVal);
COM_ARG_TRAITS(VARIANT*, VT_VARIANT | VT_BYREF, pvarVal);
#undef COM_ARG_TRAITS

template <auto Method>
struct Bind;

template <class I, class... A, HRESULT (I::*Method)(A...)>
struct Bind<Method> {
    static HRESULT Call(void* instance, VARIANT* args) {
        return Apply(static_cast<I*>(instance), args, std::index_sequence_for<A...>{});
    }
    template <std::size_t... N>
    static HRESULT Apply(I* self, VARIANT* args, std::index_sequence<N...>) {
        (void)args;
        return (self->*Method)(ArgTraits<A>::Get(args[N])...);
    }
    static constexpr VARTYPE kSignature[sizeof...(A) + 1] = {ArgTraits<A>::kType..., VT_EMPTY};
    static constexpr MemberBinding Make(const char* name) {
        return MemberBinding{name, &Call, kSignature, sizeof...(A)};
    }
};

}  // namespace com

#define COM_MEMBER(Interface, Name, Method) ::com::Bind<&Interface::Method>::Make(Name)
