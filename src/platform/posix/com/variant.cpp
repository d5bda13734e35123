#include <charconv>
#include <cmath>
#include <new>
#include <optional>
#include <string>

#include "automation.h"

void VariantInit(VARIANT* v) {
  if (v != nullptr) {
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
  }
}

HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) {
    return E_INVALIDARG;
  }
  switch (v->vt) {
    case VT_BSTR:
      SysFreeString(v->bstrVal);
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (v->punkVal != nullptr) {
        v->punkVal->Release();
      }
      break;
    case VT_EMPTY:
    case VT_NULL:
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BOOL:
    case VT_ERROR:
      break;
    default:
      return DISP_E_BADVARTYPE;
  }
  v->vt = VT_EMPTY;
  v->llVal = 0;
  return S_OK;
}

namespace {

// A decimal number in a BSTR: optional blanks around an optional sign,
// digits with an optional point, and an optional exponent. Only ASCII is
// accepted, and no spelled-out infinities or NaNs.
std::optional<double> ParseNumber(BSTR text) {
  const UINT length = SysStringLen(text);
  std::string ascii;
  ascii.reserve(length);
  for (UINT i = 0; i < length; ++i) {
    const OLECHAR c = text[i];
    if (c >= 0x80) {
      return std::nullopt;
    }
    ascii.push_back(static_cast<char>(c));
  }
  const auto first = ascii.find_first_not_of(" \t");
  if (first == std::string::npos) {
    return std::nullopt;
  }
  const auto last = ascii.find_last_not_of(" \t");
  std::string_view body(ascii.data() + first, last - first + 1);
  if (body.find_first_not_of("0123456789+-.eE") != std::string_view::npos) {
    return std::nullopt;
  }
  bool negative = false;
  if (body.front() == '+' || body.front() == '-') {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (error != std::errc{} || end != body.data() + body.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

// The numeric value of a variant, or the error that converting it gives.
HRESULT ToDouble(const VARIANT& v, double& value) {
  switch (v.vt) {
    case VT_EMPTY:
      value = 0;
      return S_OK;
    case VT_I1:
      value = v.cVal;
      return S_OK;
    case VT_I2:
      value = v.iVal;
      return S_OK;
    case VT_I4:
      value = v.lVal;
      return S_OK;
    case VT_I8:
      value = static_cast<double>(v.llVal);
      return S_OK;
    case VT_INT:
      value = v.intVal;
      return S_OK;
    case VT_UI1:
      value = v.bVal;
      return S_OK;
    case VT_UI2:
      value = v.uiVal;
      return S_OK;
    case VT_UI4:
      value = v.ulVal;
      return S_OK;
    case VT_UI8:
      value = static_cast<double>(v.ullVal);
      return S_OK;
    case VT_UINT:
      value = v.uintVal;
      return S_OK;
    case VT_R4:
      value = v.fltVal;
      return S_OK;
    case VT_R8:
      value = v.dblVal;
      return S_OK;
    case VT_DATE:
      value = v.date;
      return S_OK;
    case VT_CY:
      value = static_cast<double>(v.llVal) / 10000.0;
      return S_OK;
    case VT_BOOL:
      value = v.boolVal;
      return S_OK;
    case VT_BSTR: {
      const std::optional<double> parsed = ParseNumber(v.bstrVal);
      if (!parsed) {
        return DISP_E_TYPEMISMATCH;
      }
      value = *parsed;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT /*flags*/, VARTYPE vt) {
  if (dest == nullptr || src == nullptr) {
    return E_INVALIDARG;
  }
  if (vt != VT_R8 && vt != VT_I4) {
    return DISP_E_TYPEMISMATCH;
  }
  double value = 0;
  try {
    if (const HRESULT hr = ToDouble(*src, value); FAILED(hr)) {
      return hr;
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  VARIANT converted;
  VariantInit(&converted);
  converted.vt = vt;
  if (vt == VT_R8) {
    converted.dblVal = value;
  } else {
    // Whole numbers are reached by rounding half to even, as automation does.
    if (!(value >= -2147483648.5 && value < 2147483647.5)) {
      return DISP_E_OVERFLOW;
    }
    converted.lVal = static_cast<LONG>(std::nearbyint(value));
  }
  // The source is read completely before the destination, which may be the
  // same variant, is cleared.
  VariantClear(dest);
  *dest = converted;
  return S_OK;
}
