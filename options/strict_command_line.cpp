#include "options/strict_command_line.h"

void StrictCommandLine::flag(const std::string& long_name, char short_name) {
    options_.push_back({long_name, short_name, false, false, ""});
}

void StrictCommandLine::value(const std::string& long_name, char short_name) {
    options_.push_back({long_name, short_name, true, false, ""});
}

StrictCommandLine::Option* StrictCommandLine::find_long(const std::string& name) {
    for (Option& o : options_)
        if (o.long_name == name) return &o;
    return nullptr;
}

StrictCommandLine::Option* StrictCommandLine::find_short(char name) {
    for (Option& o : options_)
        if (name != 0 && o.short_name == name) return &o;
    return nullptr;
}

bool StrictCommandLine::parse(int argc, char** argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        Option* option = nullptr;
        std::string shown = word, attached;
        bool has_attached = false;
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            const std::size_t equals = word.find('=');
            shown = word.substr(0, equals);
            option = find_long(shown.substr(2));
            has_attached = equals != std::string::npos;
            if (has_attached) attached = word.substr(equals + 1);
        } else if (word.size() >= 2 && word[0] == '-' && word != "--") {
            shown = word.substr(0, 2);
            option = find_short(word[1]);
            has_attached = word.size() > 2;
            if (has_attached) attached = word.substr(word[2] == '=' ? 3 : 2);
        } else {
            if (static_cast<int>(words_.size()) >= most_words_) {
                error = "unexpected word '" + word + "'";
                return false;
            }
            words_.push_back(word);
            continue;
        }
        if (option == nullptr) {
            error = "unknown option " + shown;
            return false;
        }
        option->given = true;
        if (!option->takes_value) {
            if (has_attached) {
                error = "option " + shown + " takes no value";
                return false;
            }
            continue;
        }
        if (has_attached) {
            option->value = attached;
        } else if (i + 1 < argc) {
            option->value = argv[++i];
        } else {
            error = "option " + shown + " needs a value";
            return false;
        }
    }
    return true;
}

bool StrictCommandLine::given(const std::string& long_name) const {
    for (const Option& o : options_)
        if (o.long_name == long_name) return o.given;
    return false;
}

std::string StrictCommandLine::value_of(const std::string& long_name,
                                        const std::string& otherwise) const {
    for (const Option& o : options_)
        if (o.long_name == long_name && o.given) return o.value;
    return otherwise;
}
