// Program-wide switch for the echo lines; on from program start, nothing turns it off.
#pragma once

extern bool verbose;
