# tests of driver/
