" Vim syntax file
" Language: Vormel (.vl scripts)
" Install: copy syntax/ and ftdetect/ into ~/.vim (or add this folder to 'runtimepath').

if exists("b:current_syntax")
  finish
endif

let s:cpo_save = &cpo
set cpo&vim

syn keyword vormelConditional if else match
syn keyword vormelRepeat while for in break continue
syn keyword vormelStatement return
syn keyword vormelException try catch
syn keyword vormelStorage let global
syn keyword vormelDefine def nextgroup=vormelFunctionName skipwhite
syn keyword vormelInclude use as
syn keyword vormelLogical and or not
syn keyword vormelBoolean true false

syn match vormelFunctionName "\h\w*" contained

" Built-ins are called by plain name: not after a dot, and followed by "(".
syn match vormelBuiltin "\%(\.\)\@<!\<\%(print\|input\|typeof\|is_number\|is_string\|is_array\|is_dict\|len\|push\|pop\|reverse\|contains\|split\|slice\|concat\|upper\|lower\)\>\ze\s*("
syn match vormelBuiltin "\%(\.\)\@<!\<\%(abs\|sqrt\|pow\|floor\|ceil\|round\|min\|max\|random\|random_range\|rect\|circle\|triangle\|color\)\>\ze\s*("
syn match vormelBuiltin "\%(\.\)\@<!\<\%(window\|clear\|present\|is_open\|window_width\|window_height\|draw\|fill\)\>\ze\s*("

" Functions of the two built-in modules.
syn match vormelModuleFunction "\<sdl2\.\%(init\|create_window\|destroy_window\|set_window_title\|clear_screen\|render_present\|set_draw_color\|set_max_fps\|delta_time\)\>"
syn match vormelModuleFunction "\<sdl2\.\%(draw_point\|draw_line\|draw_rect\|fill_rect\|draw_circle\|fill_circle\|get_window_width\|get_window_height\)\>"
syn match vormelModuleFunction "\<sdl2\.\%(is_window_open\|get_input_pressed\|get_input_released\|get_input_held\)\>"
syn match vormelModuleFunction "\<http\.\%(page\|serve\|template\|json\|status\|send\|get\|post\)\>"

syn match vormelOperator "\*\*\|[-+*/%]=\=\|[=!<>]=\|=>\|->\|[<>=!]\|\.\."

syn match vormelNumber "\<\d\+\>"
syn match vormelFloat "\<\d\+\.\d\+\>"

syn match vormelEscape +\\[ntr\\"]+ contained
syn region vormelString start=+"+ skip=+\\\\\|\\"+ end=+"+ contains=vormelEscape

syn keyword vormelTodo TODO FIXME XXX contained
syn match vormelComment "#.*$" contains=vormelTodo
syn region vormelBlockComment start="/\*" end="\*/" contains=vormelTodo

hi def link vormelConditional Conditional
hi def link vormelRepeat Repeat
hi def link vormelStatement Statement
hi def link vormelException Exception
hi def link vormelStorage StorageClass
hi def link vormelDefine Define
hi def link vormelInclude Include
hi def link vormelLogical Operator
hi def link vormelBoolean Boolean
hi def link vormelFunctionName Function
hi def link vormelBuiltin Function
hi def link vormelModuleFunction Function
hi def link vormelOperator Operator
hi def link vormelNumber Number
hi def link vormelFloat Float
hi def link vormelEscape SpecialChar
hi def link vormelString String
hi def link vormelTodo Todo
hi def link vormelComment Comment
hi def link vormelBlockComment Comment

let b:current_syntax = "vormel"

let &cpo = s:cpo_save
unlet s:cpo_save
