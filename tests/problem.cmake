# tests of problem/
