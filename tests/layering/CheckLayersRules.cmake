# Runs the layer check over a tree written here, in which every file that is not named
# "Bad..." keeps the rules, and compares its findings with the list below, line for line.
cmake_minimum_required(VERSION 3.20)

file(REMOVE_RECURSE ${WORK_DIR})

# put(PATH LINE...): a file of the tree with these lines.
function(put path)
  string(REPLACE ";" "\n" text "${ARGN}")
  file(WRITE ${WORK_DIR}/${path} "${text}\n")
endfunction()

put(tools/Layers.cmake
  "macro(hm_tool_layers tool)"
  "  set(HM_TOOL_LAYERS_\${tool} \${ARGN})"
  "  list(APPEND HM_TOOLS_DECLARED \${tool})"
  "endmacro()"
  "hm_tool_layers(high common)"
  "hm_tool_layers(low quor)"
  "hm_tool_layers(bench platform platform_testing)"
  "hm_tool_layers(shared quor)")

# Files that keep the rules.
put(Platform/Window.h "#include <SDL.h>" "#include <unistd.h>" "#include <sys/stat.h>")
put(Platform/Testing/TestWindow.h "#include \"Platform/Window.h\"" "#include <SDL2/SDL.h>")
put(Quor/File.h "#include \"Platform/Window.h\"" "#include <cstring>" "#include \"Shaders/Generated.h\"")
put(Common/Path.h "#   include \"Quor/File.h\"" "#include <tinyxml.h>")
put(Common/Path.cpp "#include \"Path.h\"" "#include \"../Quor/File.h\"")
put(Framework/App.h "#include \"Common/Path.h\"")
put(Src/World/Save.h "#include \"Framework/App.h\"")
put(Src/Location/Scene.h "#include \"Src/World/Save.h\"")
put(Src/Menu/Box.h "#include \"../Location/Scene.h\"")
put(Src/Game/Game.cpp "#include \"Framework/App.h\"" "#include \"Src/Game/Game.h\"" "#include \"Src/Menu/Box.h\"")
put(Src/Game/Game.h "")
put(tools/shared/Text.h "#include \"Quor/File.h\"")
put(tools/high/main.cpp "#include \"Common/Path.h\"" "#include \"tools/low/Writer.h\"" "#include \"tools/shared/Text.h\"")
put(tools/low/Writer.h "#include \"Quor/File.h\"" "#include \"Writer.h\"")
put(tools/bench/main.cpp "#include \"Platform/Testing/TestWindow.h\"")
put(tests/Platform/WindowTest.cpp "#include <SDL.h>" "#include <sys/wait.h>" "#include \"Platform/Testing/TestWindow.h\"")
put(tests/support/Run.h "#include \"Platform/Testing/TestWindow.h\"")
put(tests/Quor/Kit.h "#include \"tests/support/Run.h\"" "#include \"tests/support/engine/Scope.h\"")
put(tests/support/engine/Scope.h "#include \"Quor/File.h\"" "#include \"tests/support/Run.h\"")
put(tests/Common/PathTest.cpp "#include \"tests/Quor/Kit.h\"" "#include \"tools/low/Writer.h\"" "#include \"Common/Path.h\"")
put(tests/tools/HighTest.cpp "#include \"tools/high/main.cpp\"" "#include \"Common/Path.h\"")
put(tests/Src/Location/SceneTest.cpp "#include \"Src/Location/Scene.h\"" "#include \"tests/Src/World/SaveKit.h\"")
put(tests/Src/World/SaveKit.h "#include \"Src/World/Save.h\"")
put(tests/fuzz/path_fuzz.cc "#include \"Common/Path.h\"" "#include \"Src/Game/Game.h\"")

# Files that break one rule each.
put(Quor/BadPosix.cpp "#include \"Quor/File.h\"" "#include <strings.h>")
put(Quor/BadGl.cpp "#include <GL/gl.h>")
put(Common/BadUp.cpp "// a relative path above the layer" "#include \"../Framework/App.h\"")
put(Quor/BadTesting.cpp "#include \"Platform/Testing/TestWindow.h\"")
put(Quor/BadTool.cpp "#include \"tools/low/Writer.h\"")
put(Src/Game/BadTest.cpp "#include \"tests/support/Run.h\"")
put(Src/World/BadUp.h "#include \"Src/Location/Scene.h\"")
put(Src/Investigation/BadUp.cpp "// a relative path to the folder above" "#include \"../MiniGames/Puzzle.h\"")
put(Src/MiniGames/Puzzle.h "")
put(Src/BadLoose.cpp "")
put(Src/Extra/BadFolder.cpp "#include \"Src/World/Save.h\"")
put(tests/Src/World/BadLayer.cpp "#include \"Src/Location/Scene.h\"")
put(tests/Src/World/BadKit.cpp "#include \"tests/Src/Location/SceneTest.cpp\"")
put(tools/low/BadLayer.cpp "#include \"Common/Path.h\"")
put(tools/low/BadTool.cpp "#include \"tools/high/main.cpp\"")
put(tools/low/BadTesting.cpp "#include \"Platform/Testing/TestWindow.h\"")
put(tools/unlisted/main.cpp "int main() {}")
put(tools/high/BadTest.cpp "#include \"tests/Quor/Kit.h\"")
put(tests/Quor/BadSdl.cpp "#include <SDL.h>")
put(tests/Quor/BadKit.cpp "#include \"tests/Common/PathTest.cpp\"")
put(tests/Quor/BadLayer.cpp "#include \"Framework/App.h\"")
put(tests/support/BadPosix.h "#include <sys/wait.h>")
put(tests/support/BadEngine.h "#include \"Quor/File.h\"")
put(tests/Platform/BadEngineKit.cpp "#include \"tests/support/engine/Scope.h\"")
put(tests/tools/BadLayer.cpp "#include \"Framework/App.h\"")
put(tests/fuzz/bad_fuzz.cc "#include \"Platform/Testing/TestWindow.h\"")

set(expected
  "Common/BadUp.cpp:2: includes ../Framework/App.h: the Common layer includes only the layers below it"
  "Quor/BadGl.cpp:1: includes GL/gl.h: only Platform/ includes SDL, OpenGL, EGL, MojoShader and POSIX headers"
  "Quor/BadPosix.cpp:2: includes strings.h: only Platform/ includes SDL, OpenGL, EGL, MojoShader and POSIX headers"
  "Quor/BadTesting.cpp:1: includes Platform/Testing/TestWindow.h: Platform/Testing is for tests and the tools that link platform_testing"
  "Quor/BadTool.cpp:1: includes tools/low/Writer.h: the engine does not include the tools"
  "Src/BadLoose.cpp:1: Src/ is not one of the game's layer folders (cmake/CheckLayers.cmake)"
  "Src/Extra/BadFolder.cpp:1: Src/Extra/ is not one of the game's layer folders (cmake/CheckLayers.cmake)"
  "Src/Game/BadTest.cpp:1: includes tests/support/Run.h: test code is included by tests only"
  "Src/Investigation/BadUp.cpp:2: includes ../MiniGames/Puzzle.h: the Src/Investigation layer includes only the layers below it"
  "Src/World/BadUp.h:1: includes Src/Location/Scene.h: the Src/World layer includes only the layers below it"
  "tests/Platform/BadEngineKit.cpp:1: includes tests/support/engine/Scope.h: a test of the Platform layer includes only test code of its layer and those below it"
  "tests/Quor/BadKit.cpp:1: includes tests/Common/PathTest.cpp: a test of the Quor layer includes only test code of its layer and those below it"
  "tests/Quor/BadLayer.cpp:1: includes Framework/App.h: a test of the Quor layer includes only the Quor layer and those below it"
  "tests/Quor/BadSdl.cpp:1: includes SDL.h: only Platform/ includes SDL, OpenGL, EGL, MojoShader and POSIX headers"
  "tests/Src/World/BadKit.cpp:1: includes tests/Src/Location/SceneTest.cpp: a test of the Src/World layer includes only test code of its layer and those below it"
  "tests/Src/World/BadLayer.cpp:1: includes Src/Location/Scene.h: a test of the Src/World layer includes only the Src/World layer and those below it"
  "tests/fuzz/bad_fuzz.cc:1: includes Platform/Testing/TestWindow.h: Platform/Testing is for tests and the tools that link platform_testing"
  "tests/support/BadEngine.h:1: includes Quor/File.h: tests/support includes only the Platform layer and those below it"
  "tests/support/BadPosix.h:1: includes sys/wait.h: only Platform/ includes SDL, OpenGL, EGL, MojoShader and POSIX headers"
  "tests/tools/BadLayer.cpp:1: includes Framework/App.h: a test of the tools includes only the Common layer and those below it"
  "tools/high/BadTest.cpp:1: includes tests/Quor/Kit.h: test code is included by tests only"
  "tools/low/BadLayer.cpp:1: includes Common/Path.h: tools/low does not link the Common layer (tools/Layers.cmake)"
  "tools/low/BadTesting.cpp:1: includes Platform/Testing/TestWindow.h: Platform/Testing is for tests and the tools that link platform_testing"
  "tools/low/BadTool.cpp:1: includes tools/high/main.cpp: tools/high links layers tools/low may not include"
  "tools/unlisted/main.cpp:1: tools/unlisted declares no layers: add it to tools/Layers.cmake")

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REGEX MATCHALL "[^\n]+:[0-9]+: [^\n]+" found "${output}")
if(result EQUAL 0)
  message(FATAL_ERROR "The check passed a tree that breaks the rules:\n${output}")
endif()
if(NOT found STREQUAL expected)
  string(REPLACE ";" "\n" found_lines "${found}")
  string(REPLACE ";" "\n" expected_lines "${expected}")
  message(FATAL_ERROR "The check found:\n${found_lines}\n\nexpected:\n${expected_lines}\n\nits output:\n${output}")
endif()
message("The check found each broken rule and nothing else")
