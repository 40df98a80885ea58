# Writes a C++ source that holds the product's schema, the demo companies and
# the sample workbooks (.xls, .xlsx, .ods) as bytes, so that the program can lay out a demo product
# folder wherever it is installed ("ledgerlift demo DIR").
#
# cmake -DOUTPUT=file.cpp -DINITIAL_SCHEMA=initial.sql -DCOMPANY_SCHEMA=company.sql
#       -DDEMO_COMPANIES=companies.sql -DSAMPLE_WORKBOOK=sample.xls
#       -DSAMPLE_XLSX=sample.xlsx -DSAMPLE_ODS=sample.ods -P EmbedDemo.cmake

set(text "// Made by cmake/EmbedDemo.cmake at build time; edit the files it names.\n")
string(APPEND text "#include \"company/DemoResources.h\"\n\nnamespace ledgerlift {\n")
foreach(pair "InitialSchemaSql;${INITIAL_SCHEMA}" "CompanySchemaSql;${COMPANY_SCHEMA}"
             "DemoCompaniesSql;${DEMO_COMPANIES}" "SampleWorkbookBytes;${SAMPLE_WORKBOOK}"
             "SampleXlsxBytes;${SAMPLE_XLSX}" "SampleOdsBytes;${SAMPLE_ODS}")
    list(GET pair 0 name)
    list(GET pair 1 file)
    file(READ "${file}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
    string(APPEND text "\nstd::string_view ${name}() {\n"
                       "    // ${file}\n"
                       "    static const unsigned char bytes[] = {\n    ${bytes}0};\n"
                       "    return {reinterpret_cast<const char*>(bytes), ${size}};\n}\n")
endforeach()
string(APPEND text "\n}  // namespace ledgerlift\n")
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
