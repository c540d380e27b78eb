" Vormel scripts end in .vl.
autocmd BufRead,BufNewFile *.vl setfiletype vormel
