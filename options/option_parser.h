// Small general-purpose command-line option parser.
#pragma once
