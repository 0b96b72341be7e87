// The COM and OLE Automation subset the movie control and its host use on top of
// the shared basics (platform/os/unknwn.h: GUIDs, IUnknown, common result codes):
// class identifiers in text form, more result codes, object creation by class
// identifier, BSTR strings and VARIANT_BOOL. Names, layouts and values are COM's.
// Not here: apartments, class factories, marshalling, IDispatch, VARIANT.
// Everything is for the entry thread.
#pragma once

#include <cstdint>

#include "platform/os/unknwn.h"
#include "platform/os/windows.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
// A length-prefixed, zero-terminated UTF-16 string from SysAllocString.
using BSTR = OLECHAR*;

using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Result codes beyond the shared ones.
#ifndef S_FALSE
#define S_FALSE (static_cast<HRESULT>(1))
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL (static_cast<HRESULT>(0x80004001u))
#endif
#ifndef E_UNEXPECTED
#define E_UNEXPECTED (static_cast<HRESULT>(0x8000FFFFu))
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057u))
#endif
#ifndef CLASS_E_NOAGGREGATION
#define CLASS_E_NOAGGREGATION (static_cast<HRESULT>(0x80040110u))
#endif
#ifndef REGDB_E_CLASSNOTREG
#define REGDB_E_CLASSNOTREG (static_cast<HRESULT>(0x80040154u))
#endif
#ifndef CO_E_CLASSSTRING
#define CO_E_CLASSSTRING (static_cast<HRESULT>(0x800401F3u))
#endif
#ifndef STG_E_FILENOTFOUND
#define STG_E_FILENOTFOUND (static_cast<HRESULT>(0x80030002u))
#endif

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

inline constexpr IID IID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits of either case).
// CO_E_CLASSSTRING when the text has any other form.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

// Creates an object of a class this platform provides (the movie control) and
// returns its interface `iid` with one reference. No aggregation (outer must be
// null); REGDB_E_CLASSNOTREG for any other class.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object);

// BSTR strings: the caller of SysAlloc* owns the result and frees it with
// SysFreeString (null is allowed there). SysAllocString of null gives null;
// SysAllocStringLen of null gives `length` zero characters. Null when out of memory.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);  // characters, without the terminator; 0 for null
