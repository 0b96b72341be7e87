// Lets a folder library exist before its first source file lands.
