-- A bit for scripts to wait on: writing n makes bit 0 read 0 for the next n * 256 reads,
-- then 1 again; writing 0 makes it ready at once.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_ready_register is
  port (
    clk   : in  std_logic;
    rst   : in  std_logic;
    sel   : in  std_logic;
    we    : in  std_logic;
    re    : in  std_logic;
    wdata : in  std_logic_vector(7 downto 0);
    rdata : out std_logic_vector(7 downto 0)
  );
end entity;

architecture rtl of kivo_ready_register is
  signal busy_reads : unsigned(15 downto 0) := (others => '0');
begin
  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        busy_reads <= (others => '0');
        rdata <= x"01";
      elsif sel = '1' and we = '1' then
        busy_reads <= unsigned(wdata) & x"00";
      elsif sel = '1' and re = '1' then
        -- The count runs on reads, not time: the wait a script sees is the same however
        -- fast the host polls.
        if busy_reads = 0 then
          rdata <= x"01";
        else
          rdata <= x"00";
          busy_reads <= busy_reads - 1;
        end if;
      end if;
    end if;
  end process;
end architecture;
