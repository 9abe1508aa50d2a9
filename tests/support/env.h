// Environment variables for one scope. The platform layer reads VENDREL_ROOT, VENDREL_HOME,
// VENDREL_APP_BUNDLE, VENDREL_SERVER_URL, ... on every call, so a test points the code at its
// own volume or server by setting them; ScopedEnv puts the old value back.
#pragma once

#include <optional>
#include <string>

namespace vendrel::test {

// Sets (or, with nullopt, unsets) one environment variable for the object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace vendrel::test
