# Every target of ours builds with the same warnings; a warning is a defect.
function(quenby_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
