# Converts the sample table and a generated table of varied sections with the
# Linux program and with the Windows program under Wine, and compares the
# component files byte for byte.
#   cmake -DLINUX_PROGRAM=... -DWINDOWS_PROGRAM=... -DEMULATOR=... -DSAMPLE=...
#         -DWORK_DIR=... -P same_bytes.cmake

# A table of 400 sections: sizes, bar counts and areas drawn from a seeded
# sequence, numbers with many digits, exponents and signs, so that the
# conversions and every computation are exercised, each within what the
# import accepts (at most 60 fibers, bars inside the section).
function(GenerateTable path count)
  set(materials C30 C35 C40 C45 C50 C55 C60 C65 C70 C75 C80)
  string(RANDOM LENGTH 1 RANDOM_SEED 20261207 ALPHABET "0" ignored)
  set(text "NUM,NAME,CONC,STEEL,H,B,FX,FY,NX,NY,ASX,ASY,ASCOR,CC\n")
  foreach(i RANGE 1 ${count})
    string(RANDOM LENGTH 12 ALPHABET "0123456789" digits)
    string(SUBSTRING "${digits}" 0 3 h)
    string(SUBSTRING "${digits}" 3 3 b)
    string(SUBSTRING "${digits}" 6 1 fx)
    string(SUBSTRING "${digits}" 7 1 fy)
    string(SUBSTRING "${digits}" 8 1 nx)
    string(SUBSTRING "${digits}" 9 1 ny)
    string(SUBSTRING "${digits}" 10 2 cc)
    math(EXPR h "200 + ${h} * 2")
    math(EXPR b "200 + ${b}")
    math(EXPR fx "${fx} % 7")
    math(EXPR fy "${fy} % 7")
    math(EXPR nx "${nx} % 6")
    math(EXPR ny "${ny} % 6")
    # At most 60 fibers: 2 NX + 2 NY + FX FY + 4.
    math(EXPR fibers "2 * ${nx} + 2 * ${ny} + ${fx} * ${fy} + 4")
    if(fibers GREATER 60)
      set(fx 3)
      set(fy 4)
    endif()
    math(EXPR cc "25 + ${cc} % 50")
    math(EXPR m "${i} % 11")
    list(GET materials ${m} conc)
    string(RANDOM LENGTH 20 ALPHABET "0123456789" f)
    string(SUBSTRING "${f}" 0 4 asx)
    string(SUBSTRING "${f}" 4 4 asy)
    string(SUBSTRING "${f}" 8 3 ascor)
    string(SUBSTRING "${f}" 11 9 frac)
    math(EXPR kind "${i} % 5")
    # Five spellings of numbers: plain, long fraction, exponent, signed,
    # leading zeros.
    if(kind EQUAL 0)
      set(h_text "${h}")
      set(asx_text "${asx}.${frac}")
    elseif(kind EQUAL 1)
      set(h_text "${h}.${frac}")
      set(asx_text "${asx}.1")
    elseif(kind EQUAL 2)
      set(h_text "${h}e0")
      set(asx_text "0.${asx}${frac}E4")
    elseif(kind EQUAL 3)
      set(h_text "+${h}.5")
      set(asx_text "${asx}.${frac}${frac}")
    else()
      set(h_text "000${h}")
      set(asx_text "${asx}.0000000000000000000000001")
    endif()
    string(APPEND text "${i},S${i}-${conc},${conc},STEEL,${h_text},${b}.${ascor},${fx},${fy},"
                       "${nx},${ny},${asx_text},${asy}.${frac},${ascor}.7,${cc}.${ascor}\n")
  endforeach()
  file(WRITE "${path}" "${text}")
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(COPY "${SAMPLE}" DESTINATION "${WORK_DIR}")
GenerateTable("${WORK_DIR}/generated.csv" 400)

foreach(table sample generated)
  execute_process(COMMAND "${LINUX_PROGRAM}" convert ${table}.csv -o ${table}.linux.PF3CMP
    WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Linux brenmoor failed on ${table}.csv: ${err}")
  endif()
  # Relative names: the Windows program sees this folder as its current one.
  execute_process(COMMAND "${EMULATOR}" "${WINDOWS_PROGRAM}" convert ${table}.csv
                          -o ${table}.windows.PF3CMP
    WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Windows brenmoor failed on ${table}.csv (${status}): ${out} ${err}")
  endif()
  message(STATUS "${table}: ${out}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                          ${table}.linux.PF3CMP ${table}.windows.PF3CMP
    WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${table}: the Windows component file differs from the Linux one "
                        "(both in ${WORK_DIR})")
  endif()
  file(SIZE "${WORK_DIR}/${table}.windows.PF3CMP" size)
  message(STATUS "${table}: ${size} bytes, identical")
endforeach()
