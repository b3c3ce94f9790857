# tests of simulation/
