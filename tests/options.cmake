# tests of options/
