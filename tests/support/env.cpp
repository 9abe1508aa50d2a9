#include "tests/support/env.h"

#include <stdlib.h>

namespace vendrel::test {

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* v = ::getenv(name_.c_str()))
        saved_ = v;
    if (value) {
        ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (saved_) {
        ::setenv(name_.c_str(), saved_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

}  // namespace vendrel::test
