" Vim compiler file: ":compiler vormel" then ":make" lists vormel-check's warnings for the
" current file in the quickfix list.
if exists("current_compiler")
  finish
endif
let current_compiler = "vormel"

CompilerSet makeprg=vormel-check\ %
CompilerSet errorformat=%f:%l:%c:\ warning:\ %m,%f:\ error:\ %m
