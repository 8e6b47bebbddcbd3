# Our own targets build with every warning as an error; third-party code
# (GoogleTest, Net-SNMP headers) is included as SYSTEM and stays quiet.
function(tolv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
