// Small general-purpose command-line option parser.
//
// Options are known by a long name (after "--") and a short character (after "-"); an option
// registered under both has one value slot, so it is seen under either name. Words that carry no
// option are kept as surplus words. The parser borrows the name texts, the usage lines and the
// argument vector (they must outlive it) and owns its tables and value texts.
#pragma once

#include <cstddef>
#include <memory>

class OptionParser {
  public:
    enum class OptionKind { None, Value, Flag };

    struct LongEntry {
        const char* name = nullptr;
        OptionKind kind = OptionKind::None;
        int slot = -1;
    };

    struct ShortEntry {
        char character = '\0';
        OptionKind kind = OptionKind::None;
        int slot = -1;
    };

    // Test seam: when set, it is asked before every allocation of the parser and a true answer
    // makes that allocation fail. Unset in the program.
    static bool (*allocation_fails)();

    OptionParser(int longRoom, int shortRoom);
    OptionParser(const OptionParser&) = delete;
    OptionParser& operator=(const OptionParser&) = delete;

    void add_usage_line(const char* line);
    void add_flag(const char* longName, char shortChar);
    void add_value_option(const char* longName, char shortChar);
    void add_short_flag(char shortChar);
    // A value option known only by its long name.
    void add_long_value_option(const char* longName);

    void parse_command_line(int argc, char** argv);

    bool arguments_given() const { return argumentsGiven; }
    bool flag_is_set(const char* longName);
    bool flag_is_set(char shortChar);
    const char* option_value(char shortChar);
    const char* option_value(const char* longName);
    int extra_argument_count() const { return surplusCount; }
    const char* extra_argument(int index) const;

    void print_usage();

    int long_room() const { return longRoom; }
    int long_count() const { return longCount; }
    const LongEntry& long_entry(int i) const { return longTable[i]; }
    int short_room() const { return shortRoom; }
    int short_count() const { return shortCount; }
    const ShortEntry& short_entry(int i) const { return shortTable[i]; }
    int usage_room() const { return usageRoom; }
    int usage_count() const { return usageCount; }
    const char* usage_line(int i) const { return usageLines[i]; }
    int slot_count() const { return slotCounter; }

  private:
    using Text = std::unique_ptr<char[]>;

    template <typename T>
    static std::unique_ptr<T[]> allocate(int count);
    template <typename T>
    static bool grow(std::unique_ptr<T[]>& table, int& room, int count);
    [[noreturn]] static void allocation_failed();

    void add_long_name(const char* longName, OptionKind kind);
    void add_short_char(char shortChar, OptionKind kind);
    bool ensure_value_table();

    const LongEntry* find_long(const char* name, std::size_t length) const;
    const ShortEntry* find_short(char character) const;
    const char* slot_text(int slot) const;
    void set_value(int slot, const char* text);

    int handle_long_option(const char* text);
    int handle_short_group(const char* text);
    void keep_surplus(int position);

    char** argVector = nullptr;  // borrowed

    std::unique_ptr<int[]> surplusIndex;
    int surplusCount = 0;
    int surplusRoom = 0;

    int longRoom;
    std::unique_ptr<LongEntry[]> longTable;
    int longCount = 0;

    int shortRoom;
    std::unique_ptr<ShortEntry[]> shortTable;
    int shortCount = 0;

    std::unique_ptr<Text[]> valueTable;
    int valueCount = 0;  // entries of the value table: the slots handed out when it was created
    int slotCounter = 0;

    std::unique_ptr<const char*[]> usageLines;
    int usageRoom = 3;
    int usageCount = 0;

    bool usage_pending = true;
    bool argumentsGiven = false;
};
