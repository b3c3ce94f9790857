// Opening of the user's input files.
#pragma once

#include <fstream>
#include <string>

// Opens fileName for reading. A directory counts as a file that cannot be opened: a file
// stream would open it and then yield no line without telling why.
bool open_for_reading(std::ifstream& file, const std::string& fileName);
