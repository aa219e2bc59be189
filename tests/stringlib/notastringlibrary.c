/* Exports data, but not the string table of TREVO_Res. */
const int SomeOtherTable[] = {1, 2, 3};
