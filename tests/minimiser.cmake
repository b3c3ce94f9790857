# tests of minimiser/
