// A command line on which every word must be known, for the companion programs: a misspelt
// option is an error, never passed over. Options have a long name (--name, --name=VALUE,
// --name VALUE) and may have a short one (-x, -xVALUE, -x VALUE); words that are no option
// are kept in order when the program takes any.
#pragma once

#include <string>
#include <vector>

class StrictCommandLine {
  public:
    // short_name 0: a long name only.
    void flag(const std::string& long_name, char short_name = 0);
    void value(const std::string& long_name, char short_name = 0);
    // How many words that are no option the program takes (0 by default).
    void words(int most) { most_words_ = most; }

    // False with a one-line reason in `error` for an unknown option, a flag given a value, a
    // value option without one, or a surplus word.
    bool parse(int argc, char** argv, std::string& error);

    bool given(const std::string& long_name) const;
    // The last value given, or `otherwise`.
    std::string value_of(const std::string& long_name, const std::string& otherwise = "") const;
    const std::vector<std::string>& words() const { return words_; }

  private:
    struct Option {
        std::string long_name;
        char short_name;
        bool takes_value;
        bool given = false;
        std::string value;
    };
    Option* find_long(const std::string& name);
    Option* find_short(char name);

    std::vector<Option> options_;
    std::vector<std::string> words_;
    int most_words_ = 0;
};
