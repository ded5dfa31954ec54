# Our warnings apply to our own targets only, never to the libraries we call.
function(barterbox_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
