#include "user_number_format.h"

#include "platform/values/system_number_format.h"

#ifndef _WIN32
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <string_view>
#include <unistd.h>
#endif

namespace zandor::tools {

#ifdef _WIN32

std::optional<platform::NumberFormat> learn_user_number_format(std::string&) {
    return platform::system_number_format();
}

#else

namespace {

// Qt reads numbers in the locale that LC_ALL names, else LC_NUMERIC, else LANG, and in the
// C locale when none is set; "C" and "POSIX", with any character set ("C.UTF-8"), name it too.
// The C locale's separators are known without loading Qt.
bool names_c_locale() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* name = std::getenv(variable);
        if (name != nullptr && *name != '\0') {
            const std::string_view locale(name);
            const std::string_view language = locale.substr(0, locale.find('.'));
            return language == "C" || language == "POSIX";
        }
    }
    return true;
}

} // namespace

// The module lies at the same place beside the program in the build tree and where it is
// installed, so it is found from the program's own path, never from a search path.
std::optional<platform::NumberFormat> learn_user_number_format(std::string& why) {
    if (names_c_locale())
        return platform::invariant_number_format;
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        why = "cannot find the program's own folder";
        return std::nullopt;
    }
    std::string path(self, static_cast<std::size_t>(length));
    path.erase(path.rfind('/') + 1);
    path += ZANDOR_NUMBER_FORMAT_MODULE;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? ::dlsym(module, "zandor_user_number_format") : nullptr;
    if (entry == nullptr) {
        const char* reason = ::dlerror();
        why = reason != nullptr ? reason : "cannot load " + path;
        return std::nullopt;
    }
    platform::NumberFormat format;
    using Reader = void (*)(char16_t*, char16_t*);
    reinterpret_cast<Reader>(entry)(&format.decimal_separator, &format.group_separator);
    return format; // the module stays loaded: Qt does not expect to be unloaded
}

#endif

} // namespace zandor::tools
