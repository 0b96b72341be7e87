# Every fuzz target, one line each:
#   show_fuzz_target(NAME FUNCTION HEADER SOURCES LIBS INSTRUMENT)
# NAME names the target (fuzz_NAME), its corpus (fuzz/corpus/NAME) and its CTest
# replay (NAME_fuzz_corpus). FUNCTION(const uint8_t*, size_t), declared in HEADER,
# does with the bytes what the player does with such an input. INSTRUMENT lists the
# libraries that get coverage feedback. The fuzz build (fuzz/CMakeLists.txt) and the
# replay build (tests/fuzz/CMakeLists.txt) each define show_fuzz_target.
show_fuzz_target(NAME archive_open_read FUNCTION OpenAndReadArchiveBytes
                 HEADER fuzz/ArchiveFuzzInput.h SOURCES ArchiveFuzzInput.cpp
                 LIBS archive INSTRUMENT archive)
show_fuzz_target(NAME scene_file FUNCTION LoadSceneBytes
                 HEADER fuzz/SceneFuzzInput.h SOURCES SceneFuzzInput.cpp FuzzFatalSeam.cpp
                 LIBS scene scenewriter INSTRUMENT scene)
show_fuzz_target(NAME property_text FUNCTION ParsePropertyTextBytes
                 HEADER fuzz/PropertyTextFuzzInput.h
                 SOURCES PropertyTextFuzzInput.cpp FuzzFatalSeam.cpp
                 LIBS scene INSTRUMENT scene)
show_fuzz_target(NAME script FUNCTION ParseScriptBytes
                 HEADER fuzz/ScriptFuzzInput.h SOURCES ScriptFuzzInput.cpp FuzzFatalSeam.cpp
                 LIBS script recording_device INSTRUMENT script)
show_fuzz_target(NAME sequence FUNCTION LoadSequenceBytes
                 HEADER fuzz/SequenceFuzzInput.h SOURCES SequenceFuzzInput.cpp FuzzFatalSeam.cpp
                 LIBS media INSTRUMENT media)
show_fuzz_target(NAME picture FUNCTION DecodePictureBytes
                 HEADER fuzz/PictureFuzzInput.h SOURCES PictureFuzzInput.cpp
                 LIBS platform_d3dx INSTRUMENT platform_d3dx)
show_fuzz_target(NAME movie_header FUNCTION CheckMovieHeaderBytes
                 HEADER fuzz/MovieHeaderFuzzInput.h SOURCES MovieHeaderFuzzInput.cpp
                 LIBS platform_flash INSTRUMENT platform_flash)
show_fuzz_target(NAME mp3 FUNCTION PlayMp3Bytes
                 HEADER fuzz/Mp3FuzzInput.h SOURCES Mp3FuzzInput.cpp
                 LIBS platform_fsound INSTRUMENT platform_fsound)
