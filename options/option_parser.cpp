#include "options/option_parser.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <utility>

namespace {
constexpr char SHORT_PREFIX = '-';
constexpr char ASSIGNMENT = '=';
constexpr char BLANK = ' ';
constexpr const char* FLAG_SET = "true";

// Running out of memory is the one condition that stops the program here. It is a failure, so
// the status is 1, although the messages go to standard output like the rest of the parser's text.
[[noreturn]] void growth_failed(const char* what, const char* text) {
    std::cout << std::endl;
    std::cout << "OPTIONS ERROR : Failed allocating extra memory " << std::endl;
    std::cout << what << '"' << text << '"' << std::endl;
    std::cout << "Exiting." << std::endl;
    std::cout << std::endl;
    std::exit(1);
}
}  // namespace

bool (*OptionParser::allocation_fails)() = nullptr;

template <typename T>
std::unique_ptr<T[]> OptionParser::allocate(int count) {
    if (allocation_fails != nullptr && allocation_fails()) return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? count : 0]());
}

template <typename T>
bool OptionParser::grow(std::unique_ptr<T[]>& table, int& room, int count) {
    // A room of 0 would never grow by doubling.
    const int newRoom = room > 0 ? 2 * room : 1;
    std::unique_ptr<T[]> bigger = allocate<T>(newRoom);
    if (!bigger) return false;
    for (int i = 0; i < count; ++i)
        bigger[i] = table[i];
    table = std::move(bigger);
    room = newRoom;
    return true;
}

void OptionParser::allocation_failed() {
    std::cout << std::endl;
    std::cout << "OPTIONS ERROR : Failed allocating memory" << std::endl;
    std::cout << "Exiting." << std::endl;
    std::exit(1);
}

OptionParser::OptionParser(int firstLongRoom, int firstShortRoom)
    : longRoom(firstLongRoom > 0 ? firstLongRoom : 0),
      shortRoom(firstShortRoom > 0 ? firstShortRoom : 0) {
    longTable = allocate<LongEntry>(longRoom);
    shortTable = allocate<ShortEntry>(shortRoom);
    usageLines = allocate<const char*>(usageRoom);
    if (!longTable || !shortTable || !usageLines) allocation_failed();
}

void OptionParser::add_usage_line(const char* line) {
    if (usageCount == usageRoom && !grow(usageLines, usageRoom, usageCount))
        growth_failed("While adding the usage/help  : ", line);
    usageLines[usageCount++] = line;
}

void OptionParser::add_long_name(const char* longName, OptionKind kind) {
    if (longCount == longRoom && !grow(longTable, longRoom, longCount))
        growth_failed("While adding the option : ", longName);
    longTable[longCount++] = LongEntry{longName, kind, slotCounter};
}

void OptionParser::add_short_char(char shortChar, OptionKind kind) {
    if (shortCount == shortRoom && !grow(shortTable, shortRoom, shortCount)) {
        const char text[] = {shortChar, '\0'};
        growth_failed("While adding the option: ", text);
    }
    shortTable[shortCount++] = ShortEntry{shortChar, kind, slotCounter};
}

void OptionParser::add_flag(const char* longName, char shortChar) {
    add_long_name(longName, OptionKind::Flag);
    add_short_char(shortChar, OptionKind::Flag);
    ++slotCounter;
}

void OptionParser::add_value_option(const char* longName, char shortChar) {
    add_long_name(longName, OptionKind::Value);
    add_short_char(shortChar, OptionKind::Value);
    ++slotCounter;
}

void OptionParser::add_short_flag(char shortChar) {
    add_short_char(shortChar, OptionKind::Flag);
    ++slotCounter;
}

void OptionParser::add_long_value_option(const char* longName) {
    add_long_name(longName, OptionKind::Value);
    ++slotCounter;
}

// Created once, with the slots handed out so far; options registered later have no entry.
bool OptionParser::ensure_value_table() {
    if (!valueTable && slotCounter > 0) {
        valueTable = allocate<Text>(slotCounter);
        if (!valueTable) allocation_failed();
        valueCount = slotCounter;
    }
    return static_cast<bool>(valueTable);
}

const OptionParser::LongEntry* OptionParser::find_long(const char* name, std::size_t length) const {
    for (int i = 0; i < longCount; ++i) {
        const char* entryName = longTable[i].name;
        if (std::strncmp(entryName, name, length) == 0 && entryName[length] == '\0')
            return &longTable[i];
    }
    return nullptr;
}

const OptionParser::ShortEntry* OptionParser::find_short(char character) const {
    for (int i = 0; i < shortCount; ++i) {
        if (shortTable[i].character == character) return &shortTable[i];
    }
    return nullptr;
}

const char* OptionParser::slot_text(int slot) const {
    if (slot < 0 || slot >= valueCount) return nullptr;
    return valueTable[slot].get();
}

// The later value wins; a set flag holds FLAG_SET.
void OptionParser::set_value(int slot, const char* text) {
    if (slot < 0 || slot >= valueCount) return;
    const std::size_t length = std::strlen(text);
    Text copy = allocate<char>(static_cast<int>(length) + 1);
    if (!copy) allocation_failed();
    std::memcpy(copy.get(), text, length + 1);
    valueTable[slot] = std::move(copy);
}

// Returns the slot of a value option that takes the next word as its value, or -1.
int OptionParser::handle_long_option(const char* text) {
    const char* assignment = std::strchr(text, ASSIGNMENT);
    if (assignment == nullptr || assignment == text) {
        const LongEntry* entry = find_long(text, std::strlen(text));
        if (entry == nullptr) return -1;
        if (entry->kind == OptionKind::Value) return entry->slot;
        set_value(entry->slot, FLAG_SET);
        return -1;
    }
    const LongEntry* entry = find_long(text, static_cast<std::size_t>(assignment - text));
    if (entry == nullptr) return -1;
    if (entry->kind == OptionKind::Value) {
        const char* value = assignment + 1;
        set_value(entry->slot, value);
    } else {
        set_value(entry->slot, FLAG_SET);
    }
    return -1;
}

// Returns the slot of a value option that ends the group and so takes the next word, or -1.
int OptionParser::handle_short_group(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        const ShortEntry* entry = find_short(*c);
        if (entry == nullptr) continue;
        if (entry->kind == OptionKind::Flag) {
            set_value(entry->slot, FLAG_SET);
            continue;
        }
        const char* value = c + 1;
        if (*value == '\0') return entry->slot;
        while (*value == BLANK || *value == ASSIGNMENT)
            ++value;
        set_value(entry->slot, value);
        return -1;
    }
    return -1;
}

void OptionParser::keep_surplus(int position) {
    if (surplusCount < surplusRoom) surplusIndex[surplusCount++] = position;
}

void OptionParser::parse_command_line(int argc, char** argv) {
    argVector = argv;
    argumentsGiven = argc > 1;
    if (!ensure_value_table()) return;

    if (surplusRoom == 0) surplusRoom = argc > 0 ? argc : 0;
    surplusIndex = allocate<int>(surplusRoom);
    if (!surplusIndex) allocation_failed();
    surplusCount = 0;

    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        int pendingSlot = -1;
        if (word[0] == SHORT_PREFIX && word[1] == SHORT_PREFIX) {
            pendingSlot = handle_long_option(word + 2);
        } else if (word[0] == SHORT_PREFIX) {
            pendingSlot = handle_short_group(word + 1);
        } else {
            keep_surplus(i);
            continue;
        }
        if (pendingSlot >= 0 && i + 1 < argc) {
            ++i;
            set_value(pendingSlot, argv[i]);
        }
    }
}

bool OptionParser::flag_is_set(const char* longName) {
    if (!ensure_value_table()) return false;
    const LongEntry* entry = find_long(longName, std::strlen(longName));
    const char* text = entry != nullptr ? slot_text(entry->slot) : nullptr;
    return text != nullptr && std::strcmp(text, FLAG_SET) == 0;
}

bool OptionParser::flag_is_set(char shortChar) {
    if (!ensure_value_table()) return false;
    const ShortEntry* entry = find_short(shortChar);
    const char* text = entry != nullptr ? slot_text(entry->slot) : nullptr;
    return text != nullptr && std::strcmp(text, FLAG_SET) == 0;
}

const char* OptionParser::option_value(char shortChar) {
    if (!ensure_value_table()) return nullptr;
    const ShortEntry* entry = find_short(shortChar);
    return entry != nullptr ? slot_text(entry->slot) : nullptr;
}

const char* OptionParser::option_value(const char* longName) {
    if (!ensure_value_table()) return nullptr;
    const LongEntry* entry = find_long(longName, std::strlen(longName));
    return entry != nullptr ? slot_text(entry->slot) : nullptr;
}

const char* OptionParser::extra_argument(int index) const {
    if (index < 0 || index >= surplusCount) return nullptr;
    return argVector[surplusIndex[index]];
}

void OptionParser::print_usage() {
    if (!usage_pending) return;
    usage_pending = false;
    std::cout << std::endl;
    for (int i = 0; i < usageCount; ++i)
        std::cout << usageLines[i] << std::endl;
    std::cout << std::endl;
}
