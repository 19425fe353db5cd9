#include "imaging/TypeName.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

std::wstring RuntimeTypeName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    const char* text = status == 0 && name ? name.get() : type.name();
    return std::wstring(text, text + std::char_traits<char>::length(text));
}
